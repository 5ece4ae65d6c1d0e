#include "TagIO.h"

#include "Id3v1.h"
#include "Lyrics3.h"

#include "platform/Messages.h"
#include "platform/Prompter.h"

namespace kaz {
namespace {

// The block's size digits may say at most 999999; a read never takes more.
constexpr qint64 kMaxBlockRead = 999999 + 144;

void tell(const TagContext &context, Msg id, const QString &suffix = {})
{
    if (context.prompter)
        context.prompter->inform(MessageKind::Information, message(id, context.language) + suffix);
}

void readLyrics3(const ReadOnlyFile &file, QByteArrayView tail, const TagContext &context, TagRecord &record)
{
    if (!lyrics3::hasEndMark(tail.sliced(lyrics3::kEndMarkOffset, 9)))
        return;
    const std::optional<qint64> size = lyrics3::sizeValue(tail.sliced(lyrics3::kSizeOffset, lyrics3::kSizeDigits));
    if (!size || *size + 144 >= record.fileSize)
        return; // a block that cannot be where it says is ignored silently
    const qint64 readLength = qMin(*size + 144, kMaxBlockRead);
    const QByteArray bytes = file.readAt(record.fileSize - (*size + 144), readLength);
    // One byte in front of the block, then the block up to its last field.
    const std::optional<lyrics3::Fields> fields
        = bytes.size() == readLength ? lyrics3::parse(QByteArrayView(bytes).sliced(1, *size), *context.codec)
                                     : std::nullopt;
    if (!fields) {
        tell(context, Msg::Lyrics3Corrupt);
        return;
    }
    record.hasLyrics3 = true;
    record.lyrics3Size = *size + lyrics3::kMarksSize;
    record.longTitle = fields->title.value_or(QString());
    record.longArtist = fields->artist.value_or(QString());
    record.longAlbum = fields->album.value_or(QString());
    record.keptLyrics3Fields = fields->kept;
}

bool hasNonBlank(const QString &text)
{
    for (QChar c : text) {
        if (c != QLatin1Char(' '))
            return true;
    }
    return false;
}

void applyOverride(const TagOverride &override, TagRecord &record)
{
    const TagValues values = valuesToWrite(record, &override);
    record.longTitle = values.title;
    record.longArtist = values.artist;
    record.longAlbum = values.album;
    record.title = values.title.left(30);
    record.artist = values.artist.left(30);
    record.album = values.album.left(30);
    record.comment = values.comment;
    record.year = values.year;
    record.genre = values.genre;
    record.trackText = values.trackText;
    record.track = id3v1::trackFromText(values.trackText);
    record.tagged = true;
}

} // namespace

TagRecord readTag(const QString &fileName, const TagContext &context, FsStatus *readError)
{
    TagRecord record;
    ReadOnlyFile file(fileName);
    if (readError)
        *readError = FsStatus::fromErrno(file.error());
    if (file.error() != 0)
        return record;
    record.fileSize = file.size();
    if (record.fileSize < id3v1::kTailSize) {
        if (!context.quietWhenShort)
            tell(context, Msg::FileTooShort, fileName);
        return record;
    }
    file.makeOwnerWritable();
    const QByteArray tail = file.readAt(record.fileSize - id3v1::kTailSize, id3v1::kTailSize);
    if (tail.size() != id3v1::kTailSize)
        return record;
    const QByteArrayView tag = QByteArrayView(tail).sliced(id3v1::kTailSize - id3v1::kTagSize);
    record.tagged = id3v1::hasTagHeader(tag);
    if (record.tagged) {
        id3v1::parse(tag, *context.codec, record);
        readLyrics3(file, tail, context, record);
    }
    if (record.longTitle.isEmpty())
        record.longTitle = record.title;
    if (record.longArtist.isEmpty())
        record.longArtist = record.artist;
    if (record.longAlbum.isEmpty())
        record.longAlbum = record.album;
    if (context.override)
        applyOverride(*context.override, record);
    record.hasArtistOrAlbum = hasNonBlank(record.longArtist + record.longAlbum);
    return record;
}

TagValues valuesToWrite(const TagRecord &current, const TagOverride *override)
{
    TagValues values{current.longTitle, current.longArtist, current.longAlbum, current.year,
                     current.comment,   current.trackText,  current.genre};
    if (!override)
        return values;
    if (!override->title.isEmpty())
        values.title = override->title;
    if (!override->artist.isEmpty())
        values.artist = override->artist;
    if (!override->album.isEmpty())
        values.album = override->album;
    if (!override->comment.isEmpty())
        values.comment = override->comment;
    if (!override->year.isEmpty())
        values.year = override->year;
    if (override->genre != 0 || override->forceGenre)
        values.genre = override->genre;
    if (id3v1::trackFromText(override->trackText) != 0)
        values.trackText = id3v1::trackTextFor(id3v1::trackFromText(override->trackText));
    return values;
}

FsStatus writeTag(const QString &fileName, const TagRecord &current, const TagValues &values,
                  const TextCodec &codec)
{
    qint64 trailerStart = current.fileSize;
    if (current.tagged && current.fileSize >= id3v1::kTagSize) {
        trailerStart -= id3v1::kTagSize;
        if (current.hasLyrics3)
            trailerStart -= current.lyrics3Size;
    }
    const auto isLong = [&](const QString &text) { return codec.encode(text).size() > 30; };
    QByteArray trailer;
    if (current.hasLyrics3 || isLong(values.title) || isLong(values.artist) || isLong(values.album))
        trailer = lyrics3::render(current.keptLyrics3Fields, values.title, values.artist, values.album, codec);
    trailer += id3v1::render(values, codec);
    ensureOwnerWritable(fileName);
    return replaceFileEnd(fileName, trailerStart, trailer);
}

TagRecord get_id3tag(QString &fileName, bool edit, const TagContext &context, TagWriteResult *written,
                     FsStatus *readError)
{
    TagContext readContext = context;
    readContext.override = nullptr; // the file's own values first
    FsStatus openStatus;
    TagRecord current = readTag(fileName, readContext, &openStatus);
    if (readError)
        *readError = openStatus;
    if (!edit && !context.override) {
        if (written)
            *written = {};
        return current;
    }
    TagValues values = valuesToWrite(current, context.override);
    bool confirmed = !edit;
    if (edit && context.editor)
        confirmed = context.editor->edit(fileName, values);
    const bool due = confirmed && openStatus.ok() && (current.tagged || context.override);
    TagWriteResult result;
    if (due) {
        result.attempted = true;
        result.status = writeTag(fileName, current, values, *context.codec);
        current = readTag(fileName, readContext);
    }
    if (written)
        *written = result;
    return current;
}

bool taginfo(const QString &fileName)
{
    ReadOnlyFile file(fileName);
    if (!file.isOpen() || !file.isRegular() || file.size() < id3v1::kTailSize)
        return false;
    return id3v1::hasTagHeader(file.readAt(file.size() - id3v1::kTagSize, 3));
}

} // namespace kaz
