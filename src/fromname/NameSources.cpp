#include "NameSources.h"

#include "tags/TagIO.h"

#include <QDateTime>
#include <QFileInfo>

namespace kaz {

QList<NameSource> readNameSources(const QStringList &paths, const TextCodec &codec, bool withDates,
                                  const std::function<void(int, int)> &progress, bool useId3v2)
{
    TagContext context;
    context.codec = &codec;
    context.quietWhenShort = true;
    context.useId3v2 = useId3v2;
    QList<NameSource> sources;
    sources.reserve(paths.size());
    for (const QString &path : paths) {
        NameSource s;
        s.path = path;
        s.tag = readTag(path, context);
        if (withDates)
            s.modifiedYear = QFileInfo(path).lastModified().date().year();
        sources << s;
        if (progress)
            progress(int(sources.size()), int(paths.size()));
    }
    return sources;
}

} // namespace kaz
