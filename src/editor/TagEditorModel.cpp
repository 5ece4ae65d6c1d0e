#include "TagEditorModel.h"

#include "platform/PathParts.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"
#include "tags/Genres.h"
#include "tags/TagStrip.h"

namespace kaz {

TagEditorModel::TagEditorModel(TagEditorSession &session, const TagContext &context)
    : m_session(session)
    , m_context(context)
{
    m_context.override = nullptr;
    m_context.editor = nullptr;
}

void TagEditorModel::open(const QString &path)
{
    m_path = path;
    m_tag = readTag(path, m_context);
    m_fields = fieldsFromTag(m_tag);
    m_session.carryOver.applyTo(m_fields);
    m_stripAvailable = m_tag.tagged;
    m_stripped = false;
    m_swapped = false;
    m_nameOnEntry = nameWithoutMp3(path);
}

void TagEditorModel::showValues(const TagValues &values)
{
    m_fields.title = values.title;
    m_fields.artist = values.artist;
    m_fields.album = values.album;
    m_fields.comment = values.comment;
    m_fields.year = values.year;
    m_fields.track = trackFromInput(values.trackText);
    m_fields.genre = genreName(values.genre);
}

HeaderState TagEditorModel::openingHeader() const
{
    if (!m_tag.tagged)
        return HeaderState::NoTag;
    return m_tag.hasLyrics3 ? HeaderState::Extended : HeaderState::Tag;
}

void TagEditorModel::strip()
{
    if (!m_stripAvailable || m_stripped)
        return;
    m_snapshot = m_fields;
    m_fields.title.clear();
    m_fields.artist.clear();
    m_fields.album.clear();
    m_fields.comment.clear();
    m_fields.year.clear();
    m_stripped = true;
}

void TagEditorModel::takeBackStrip()
{
    if (!m_stripped)
        return;
    m_fields.title = m_snapshot.title;
    m_fields.artist = m_snapshot.artist;
    m_fields.album = m_snapshot.album;
    m_fields.comment = m_snapshot.comment;
    m_fields.year = m_snapshot.year;
    m_stripped = false;
}

bool TagEditorModel::insertFromClipboard()
{
    if (!m_session.clipboard.insertInto(m_fields))
        return false;
    m_stripped = false;
    m_snapshot = m_fields;
    m_stripAvailable = true;
    return true;
}

void TagEditorModel::guessFromFolderNames()
{
    FolderNameFields names{m_fields.artist, m_fields.album, m_fields.comment};
    const QString folder = folderOf(m_path);
    kaz::guessFromFolderNames(folder, volumeRootOf(folder), m_session.folderNames, m_swapped, names);
    m_fields.artist = names.artist;
    m_fields.album = names.album;
    m_fields.comment = names.comment;
}

EditorRenameResult TagEditorModel::rename(const QString &typed)
{
    if (typed.trimmed().isEmpty())
        return {false, m_path, {}};
    const EditorRenameResult result = renameWithFreeName(m_path, withoutForbiddenChars(typed));
    if (!result.status.ok())
        report(m_path, result.status);
    m_path = result.path;
    return result;
}

EditorRenameResult TagEditorModel::undoName()
{
    const EditorRenameResult result = renameExactly(m_path, m_nameOnEntry);
    if (!result.status.ok())
        report(m_path, result.status);
    m_path = result.path;
    return result;
}

TagEditorModel::SaveResult TagEditorModel::save(const QString &typedName, bool copy)
{
    SaveResult result;
    result.rename = rename(typedName);
    if (m_stripped) {
        m_session.carryOver.clear();
        ensureOwnerWritable(m_path); // as the tag writer does
        const StripResult stripped = stripTag(m_path, m_context);
        result.status = stripped.status;
        result.stripped = stripped.hadTag && stripped.status.ok();
    } else {
        if (copy)
            m_session.carryOver.remember(m_fields, m_session.sampler);
        else
            m_session.carryOver.clear();
        if (!m_writesTag)
            return result;
        const TagRecord current = readTag(m_path, m_context, &result.status);
        // An untagged file gets a tag only when the user gave it values.
        if (result.status.ok() && (current.tagged || hasAnyValue(m_fields))) {
            result.status = writeTag(m_path, current, valuesForSave(m_fields), *m_context.codec, m_context.id3v2Write);
            result.wrote = result.status.ok();
        }
    }
    if (!result.status.ok())
        report(m_path, result.status);
    return result;
}

void TagEditorModel::report(const QString &path, const FsStatus &status)
{
    if (m_context.prompter)
        m_context.prompter->inform(MessageKind::Error, status.errorText() + QStringLiteral("\n\r\n\r") + path);
}

} // namespace kaz
