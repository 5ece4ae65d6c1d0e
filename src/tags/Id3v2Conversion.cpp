#include "Id3v2Conversion.h"

#include "Id3v2.h"

namespace kaz {

ConversionResult convertFromId3v2(const QString &path, bool overwrite, const TagContext &context)
{
    TagContext reading = context;
    reading.override = nullptr;
    reading.useId3v2 = false; // the file's end as it is: that is what the write replaces
    reading.reportId3v2 = true;
    reading.quietWhenShort = true;
    ConversionResult result;
    const TagRecord current = readTag(path, reading, &result.status);
    if (!result.status.ok()) {
        result.outcome = ConversionOutcome::Failed;
        return result;
    }
    if (!current.id3v2)
        return result;
    if (current.tagged && !overwrite) {
        result.outcome = ConversionOutcome::KeptId3v1;
        return result;
    }
    TagRecord fromId3v2;
    id3v2::fillRecord(*current.id3v2, *context.codec, fromId3v2);
    result.status = writeTag(path, current, valuesToWrite(fromId3v2, nullptr), *context.codec);
    result.outcome = result.status.ok() ? ConversionOutcome::Written : ConversionOutcome::Failed;
    return result;
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
