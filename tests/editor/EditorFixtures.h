#pragma once

#include "support/TestSupport.h"

#include "tags/DemoCollection.h"

namespace kaz::test {

// A generated MP3 file at dir/name; an empty title leaves it untagged.
inline QString putSong(const QString &dir, const QString &name, const TagValues &v, bool tagged = true,
                       QList<QByteArray> extraLyrics3 = {})
{
    DemoFile f;
    f.relativePath = name;
    f.values = v;
    f.tagged = tagged;
    f.extraLyrics3Fields = extraLyrics3;
    f.frames = 3;
    writeDemoFile(dir, f);
    return dir + QLatin1Char('/') + name;
}

} // namespace kaz::test
