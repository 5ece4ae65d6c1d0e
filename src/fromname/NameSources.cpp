#include "NameSources.h"

#include "tags/TagIO.h"

#include <QDateTime>
#include <QFileInfo>

namespace kaz {

QList<NameSource> readNameSources(const QStringList &paths, const TextCodec &codec, bool withDates,
                                  const std::function<void(int, int)> &progress)
{
    TagContext context;
    context.codec = &codec;
    context.quietWhenShort = true;
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
