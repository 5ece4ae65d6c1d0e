#pragma once

#include "support/TestSupport.h"

#include "tags/DemoCollection.h"

namespace kaz::test {

// A generated MP3 file at dir/name; an empty title leaves it untagged.
inline QString putSong(const QString &dir, const QString &name, const TagValues &v, bool tagged = true,
                       QList<QByteArray> extraLyrics3 = {})
{
    writeDemoFile(dir, {.relativePath = name, .tagged = tagged, .values = v, .extraLyrics3Fields = extraLyrics3,
                        .frames = 3});
    return dir + QLatin1Char('/') + name;
}

} // namespace kaz::test
