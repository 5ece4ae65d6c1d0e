#pragma once

#include "TagIO.h"

#include <QString>

#include <functional>

namespace kaz {

// What converting one file's ID3v2 tag gave.
enum class ConversionOutcome {
    Written,   // an ID3v1 tag (and a Lyrics3 block for long values) now ends the file
    KeptId3v1, // the file has an ID3v1 tag, which stays (no overwrite asked)
    NoId3v2,   // the file has no usable ID3v2 tag
    Failed,    // the file could not be read or written: status says why
};

struct ConversionResult {
    ConversionOutcome outcome = ConversionOutcome::NoId3v2;
    FsStatus status;
};

// Writes an ID3v1 tag from the file's ID3v2 tag through the tag writer:
// texts by the code-page rule, values over 30 characters into a Lyrics3
// block. Only the end of the file changes; the ID3v2 tag at its start and
// the audio stay byte for byte. With overwrite an existing ID3v1 tag is
// replaced (the other fields of its Lyrics3 block kept).
ConversionResult convertFromId3v2(const QString &path, bool overwrite, const TagContext &context);

// The conversions of a run over many files, written in groups through
// TagWriteBatch: one journal flush and one file flush for many files, each
// file old or new after a kill.
class ConversionBatch
{
public:
    using Done = std::function<void(const ConversionResult &)>;
    ConversionBatch(bool overwrite, const TagContext &context);
    // Converts a file as convertFromId3v2 does. done gets the result: at
    // once when nothing is to be written, else at the latest from commit().
    void add(const QString &path, Done done);
    void commit() { m_writes.commit(); }

private:
    bool m_overwrite;
    TagContext m_context;
    TagWriteBatch m_writes;
};

// Counts of a conversion over many files, for the closing report.
struct ConversionCounts {
    qint64 written = 0;
    qint64 kept = 0;
    qint64 withoutId3v2 = 0;
    qint64 failed = 0;

    void add(ConversionOutcome outcome);
};

} // namespace kaz
