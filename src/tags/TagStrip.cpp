#include "TagStrip.h"

#include "Id3v1.h"

namespace kaz {

namespace {

TagContext readOnly(const TagContext &context)
{
    TagContext quiet = context;
    quiet.override = nullptr;
    quiet.editor = nullptr;
    return quiet;
}

// The result before the cut; a file without a tag is finished with it.
StripResult planStrip(const QString &fileName, const TagContext &context, qint64 *cutAt)
{
    StripResult result;
    const TagRecord current = readTag(fileName, context, &result.status);
    if (!result.status.ok() || !current.tagged)
        return result;
    result.hadTag = true;
    result.removed = id3v1::kTagSize + (current.hasLyrics3 ? current.lyrics3Size : 0);
    *cutAt = current.fileSize - result.removed;
    return result;
}

} // namespace

StripResult stripTag(const QString &fileName, const TagContext &context)
{
    qint64 cutAt = 0;
    StripResult result = planStrip(fileName, readOnly(context), &cutAt);
    if (result.hadTag && result.status.ok())
        result.status = replaceFileEnd(fileName, cutAt, {});
    return result;
}

StripBatch::StripBatch(const TagContext &context)
    : m_context(readOnly(context))
{
}

void StripBatch::add(const QString &fileName, Done done)
{
    qint64 cutAt = 0;
    const StripResult result = planStrip(fileName, m_context, &cutAt);
    if (!result.hadTag || !result.status.ok())
        return done(result);
    m_tails.add(fileName, cutAt, {}, [result, done = std::move(done)](const FsStatus &status) {
        StripResult cut = result;
        cut.status = status;
        done(cut);
    });
}

} // namespace kaz
