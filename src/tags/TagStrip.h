#pragma once

#include "TagIO.h"

#include "platform/FileOps.h"

#include <functional>

namespace kaz {

struct StripResult {
    bool hadTag = false;   // a tag was there (and is gone when status is ok)
    qint64 removed = 0;    // bytes cut: the tag and a Lyrics3 block before it
    FsStatus status;       // reading or cutting failed
};

// Removes the ID3v1 tag and a Lyrics3 block in front of it by cutting the
// file; every byte before them stays. A file without a tag is left alone.
// One truncate does the change, so an interruption leaves either the old
// file or the stripped one. Permissions are left as they are: a read-only
// file fails.
StripResult stripTag(const QString &fileName, const TagContext &context = {});

// stripTag for the many files of one run, committed in groups as other tail
// writes are (TailWriteBatch): one journal flush and one file flush for many
// files. done gets each file's result, at the latest from commit().
class StripBatch
{
public:
    using Done = std::function<void(const StripResult &)>;
    explicit StripBatch(const TagContext &context);
    void add(const QString &fileName, Done done);
    void commit() { m_tails.commit(); }

private:
    TagContext m_context;
    TailWriteBatch m_tails;
};

} // namespace kaz
