#pragma once

#include "EditorFields.h"
#include "EditorRename.h"
#include "EditorTexts.h"
#include "TagEditorSession.h"

#include "tags/TagIO.h"

namespace kaz {

// The tag editor for one file, without any widget: the fields, the strip
// with its take-back, the clipboard, the name and its undo, and what Save
// does to the file. The dialog copies its controls into fields() before
// each action and shows them again afterwards.
class TagEditorModel
{
public:
    TagEditorModel(TagEditorSession &session, const TagContext &context);

    // Reads the file's tag; the values carried over by "Save and copy"
    // replace the file's own (the title excepted).
    void open(const QString &path);

    // Shows values handed in by a caller (the file-name grid) in place of
    // the file's own.
    void showValues(const TagValues &values);
    // Off: Save renames and remembers but leaves writing to the caller
    // (get_id3tag with the edit flag writes itself).
    void setWritesTag(bool writes) { m_writesTag = writes; }
    // The tags a save writes into the open file ("ID3v1 + ID3v2.3" and the like).
    QString savedTags() const { return tagsWritten(m_path, m_context.id3v2Write); }

    const QString &path() const { return m_path; }
    const TagRecord &tag() const { return m_tag; }
    EditorFields &fields() { return m_fields; }
    const EditorFields &fields() const { return m_fields; }
    TagEditorSession &session() { return m_session; }
    HeaderState openingHeader() const;

    // "(Strip)": the first button empties the texts, the second puts them back.
    bool canStrip() const { return m_stripAvailable; }
    bool isStripped() const { return m_stripped; }
    void strip();
    void takeBackStrip();

    void copyToClipboard() { m_session.clipboard.store(m_fields); }
    // Writes the chosen clipboard fields; leaves a strip, so that Save
    // stores what was inserted.
    bool insertFromClipboard();

    // Artist, album (and a CD comment) from the folder names; every call
    // swaps the roles of the two folders.
    void guessFromFolderNames();

    // The name field: its text when the user entered it, for the undo.
    void enterName(const QString &typed) { m_nameOnEntry = typed; }
    const QString &nameOnEntry() const { return m_nameOnEntry; }
    bool canUndoName(const QString &typed) const { return typed != m_nameOnEntry; }
    // Renames the file now (numbered suffix on a collision).
    EditorRenameResult rename(const QString &typed);
    // Renames the file back to the name on entry.
    EditorRenameResult undoName();

    struct SaveResult {
        EditorRenameResult rename;
        bool wrote = false;    // a tag was written
        bool stripped = false; // the tag was removed
        FsStatus status;       // the write or the cut
    };
    // Save (copy: "Save and copy"): the rename step, then the tag is written,
    // or removed when the strip is active.
    SaveResult save(const QString &typedName, bool copy);
    // "S&kip": nothing is carried to the next file.
    void skip() { m_session.carryOver.clear(); }

private:
    void report(const QString &path, const FsStatus &status);

    TagEditorSession &m_session;
    TagContext m_context;
    QString m_path;
    TagRecord m_tag;
    EditorFields m_fields;
    EditorFields m_snapshot;
    bool m_stripAvailable = false;
    bool m_stripped = false;
    bool m_swapped = false;
    bool m_writesTag = true;
    QString m_nameOnEntry;
};

} // namespace kaz
