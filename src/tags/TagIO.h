#pragma once

#include "Id3v2Write.h"
#include "TagRecord.h"
#include "platform/TextCodec.h"

#include "platform/FileOps.h"
#include "platform/HeadWrite.h"
#include "platform/Language.h"

#include <QString>

namespace kaz {

class Prompter;
namespace id3v1 {
class FieldMemory;
}

// Shows a tag to the user for editing before it is written; the tag editor
// window implements it. It may change the values and rename the file.
class TagEditor
{
public:
    virtual ~TagEditor() = default;
    // Returns true when the user confirmed (OK).
    virtual bool edit(QString &fileName, TagValues &values) = 0;
};

// What a tag read or write needs from its caller.
struct TagContext {
    const TextCodec *codec = &defaultTextCodec();
    Prompter *prompter = nullptr; // the "to short" and "corrupt" messages; none when null
    bool quietWhenShort = false;  // no "to short" message (runs that leave short files out)
    Language language = kDefaultLanguage;
    const TagOverride *override = nullptr; // set: write these values
    TagEditor *editor = nullptr;           // used with the edit flag
    // Beyond the ID3v1 tag: take the values of the ID3v2 tag at the start
    // of a file that has no ID3v1 tag (the tag-source setting).
    bool useId3v2 = false;
    // Read the ID3v2 tag into TagRecord::id3v2 whatever the file's end holds.
    bool reportId3v2 = false;
    // Leave the ID3v1 year and comment empty: a run that names files
    // without them need not decode them.
    bool nameFieldsOnly = false;
    // What a write does with the ID3v2 tag at the file's start (the
    // ID3v2-write setting); the file's end is written alike in every mode.
    id3v2::WriteMode id3v2Write = id3v2::WriteMode::Off;
};

// Reads a file's tag by every rule (reading half of get_id3tag). Changes
// nothing on disk, not even permissions. A file that cannot be read at all
// (missing, a folder, no permission) is untagged and reported through
// readError, not with the "to short" message.
TagRecord readTag(const QString &fileName, const TagContext &context, FsStatus *readError = nullptr);
// The same from a file the caller opened (a run that opens the files of a
// folder by name); fileName is for messages.
TagRecord readTag(const ReadOnlyFile &file, const QString &fileName, const TagContext &context,
                  FsStatus *readError = nullptr);
// The same for one file of a series read one after another (the files of a
// folder): memory carries the texts of the tag before to the next read.
TagRecord readTag(const ReadOnlyFile &file, const QString &fileName, const TagContext &context,
                  id3v1::FieldMemory &memory);

struct TagWriteResult {
    bool attempted = false; // the values were confirmed and a tag was due
    FsStatus status;
};

// Reads the tag of a file and, with the edit flag or an override, writes new
// values through writeTag. fileName follows a rename made in the editor.
TagRecord get_id3tag(QString &fileName, bool edit, const TagContext &context, TagWriteResult *written = nullptr,
                     FsStatus *readError = nullptr);

// Writes values into a file whose current tag was just read: every tag write
// of the program ends here (get_id3tag, the tag editor's Save, the file-name
// grid). Removing a tag is stripTag's job (TagStrip.h), picture blocks are
// PictureBlock's. With an ID3v2 mode other than off the ID3v2 tag at the
// start is written too (HeadWriteBatch): a tag that cannot be written back
// safely is left alone, the end still written, and the outcome says so.
FsStatus writeTag(const QString &fileName, const TagRecord &current, const TagValues &values,
                  const TextCodec &codec, id3v2::WriteMode id3v2Write = id3v2::WriteMode::Off);

// The tag writes of a run over many files, committed in groups: one journal
// flush and one file flush for many files (TailWriteBatch), each file old or
// new after a kill. done gets each file's outcome, at the latest from commit().
class TagWriteBatch
{
public:
    using Done = TailWriteBatch::Done;
    explicit TagWriteBatch(const TextCodec &codec, id3v2::WriteMode id3v2Write = id3v2::WriteMode::Off)
        : m_codec(codec)
        , m_id3v2Write(id3v2Write)
    {
    }
    // Writes values into a file whose current tag was just read, as writeTag.
    void add(const QString &fileName, const TagRecord &current, const TagValues &values, Done done);
    void commit()
    {
        m_tails.commit();
        m_heads.commit();
    }

private:
    const TextCodec &m_codec;
    id3v2::WriteMode m_id3v2Write;
    TailWriteBatch m_tails;
    HeadWriteBatch m_heads;
};

// The tags a write of values into this file stores: "ID3v1", "ID3v1 +
// ID3v2.3" and the like, as the mode and the file's ID3v2 tag decide.
QString tagsWritten(const QString &fileName, id3v2::WriteMode id3v2Write);

// True when the file ends in a tag (a file of the tag alone too); no message.
bool taginfo(const QString &fileName);
// taginfo, and with useId3v2 also an ID3v2 tag at the start that holds values.
bool hasTagOrId3v2(const QString &fileName, bool useId3v2);

// The values a write would store, from the current tag and an override.
TagValues valuesToWrite(const TagRecord &current, const TagOverride *override);

} // namespace kaz
