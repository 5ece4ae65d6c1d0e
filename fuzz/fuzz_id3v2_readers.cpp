// Feeds arbitrary bytes as the start of a file to both ID3v2 readers: the
// reader of common tags must give exactly what TagLib gives (it leaves every
// tag it cannot read so to TagLib), and neither may crash or read past the
// bytes. Fast, unlike fuzz_tag_reader, which works on files.
#include "tags/Id3v2.h"
#include "tags/Id3v2Frames.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (kaz::id3v2::parse(bytes) != kaz::id3v2::parseWithTagLib(bytes))
        __builtin_trap();
    // The start of a tag (as the first read of a file gives it) reads as the
    // whole tag or not at all.
    const std::optional<qint64> tagSize = kaz::id3v2::tagSize(bytes);
    if (tagSize && *tagSize <= bytes.size() && *tagSize > 10) {
        const auto start = kaz::id3v2::readCommonFrames(bytes.first(10 + qsizetype(size) % (*tagSize - 10)));
        if (start && start != kaz::id3v2::readCommonFrames(bytes.first(*tagSize)))
            __builtin_trap();
    }
    return 0;
}
