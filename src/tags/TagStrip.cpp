#include "TagStrip.h"

#include "Id3v1.h"

namespace kaz {

StripResult stripTag(const QString &fileName, const TagContext &context)
{
    StripResult result;
    TagContext quiet = context;
    quiet.override = nullptr;
    quiet.editor = nullptr;
    const TagRecord current = readTag(fileName, quiet, &result.status);
    if (!result.status.ok() || !current.tagged)
        return result;
    result.hadTag = true;
    result.removed = id3v1::kTagSize + (current.hasLyrics3 ? current.lyrics3Size : 0);
    result.status = replaceFileEnd(fileName, current.fileSize - result.removed, {});
    return result;
}

} // namespace kaz
