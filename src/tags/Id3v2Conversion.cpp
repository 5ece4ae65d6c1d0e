#include "Id3v2Conversion.h"

#include "Id3v2.h"

namespace kaz {

ConversionResult convertFromId3v2(const QString &path, bool overwrite, const TagContext &context)
{
    ConversionResult result;
    ConversionBatch batch(overwrite, context);
    batch.add(path, [&result](const ConversionResult &r) { result = r; });
    batch.commit();
    return result;
}

ConversionBatch::ConversionBatch(bool overwrite, const TagContext &context)
    : m_overwrite(overwrite)
    , m_context(context)
    , m_writes(*context.codec)
{
    m_context.override = nullptr;
    m_context.useId3v2 = false; // the file's end as it is: that is what the write replaces
    m_context.reportId3v2 = true;
    m_context.quietWhenShort = true;
}

void ConversionBatch::add(const QString &path, Done done)
{
    ConversionResult result;
    const TagRecord current = readTag(path, m_context, &result.status);
    if (!result.status.ok()) {
        result.outcome = ConversionOutcome::Failed;
    } else if (current.id3v2 && current.tagged && !m_overwrite) {
        result.outcome = ConversionOutcome::KeptId3v1;
    } else if (current.id3v2) {
        TagRecord fromId3v2;
        id3v2::fillRecord(*current.id3v2, *m_context.codec, fromId3v2);
        m_writes.add(path, current, valuesToWrite(fromId3v2, nullptr), [done = std::move(done)](const FsStatus &status) {
            done({status.ok() ? ConversionOutcome::Written : ConversionOutcome::Failed, status});
        });
        return;
    }
    done(result);
}

void ConversionCounts::add(ConversionOutcome outcome)
{
    switch (outcome) {
    case ConversionOutcome::Written:
        ++written;
        break;
    case ConversionOutcome::KeptId3v1:
        ++kept;
        break;
    case ConversionOutcome::NoId3v2:
        ++withoutId3v2;
        break;
    case ConversionOutcome::Failed:
        ++failed;
        break;
    }
}

} // namespace kaz
