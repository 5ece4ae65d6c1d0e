#include "TagIO.h"

#include "Id3v1.h"
#include "Id3v2.h"
#include "Lyrics3.h"

#include "platform/Messages.h"
#include "platform/Prompter.h"

#include <cerrno>

namespace kaz {
namespace {

void tell(const TagContext &context, Msg id, const QString &suffix = {})
{
    if (context.prompter)
        context.prompter->inform(MessageKind::Information, message(id, context.language) + suffix);
}

// Files up to this size are read whole when their start is wanted too: one
// read instead of one at each end.
constexpr qint64 kWholeReadLimit = 8 * 1024;

// whole: the file's bytes when it was read whole, else empty.
void readLyrics3(const ReadOnlyFile &file, QByteArrayView whole, QByteArrayView tail, const TagContext &context,
                 TagRecord &record)
{
    if (tail.size() < id3v1::kTailSize || !lyrics3::hasEndMark(tail.sliced(lyrics3::kEndMarkOffset, 9)))
        return;
    const std::optional<qint64> size = lyrics3::sizeValue(tail.sliced(lyrics3::kSizeOffset, lyrics3::kSizeDigits));
    // The block runs from "LYRICSBEGIN" up to the size digits, 143 bytes before the end.
    const qint64 blockStart = size ? record.fileSize - (*size + 143) : -1;
    if (blockStart < 0)
        return; // a block that cannot be where it says is ignored silently
    const QByteArray block = whole.isEmpty() ? file.readAt(blockStart, *size) : whole.sliced(blockStart, *size).toByteArray();
    // Only bytes that are exactly a block count as one: anything else is
    // audio, which a later write must keep.
    std::optional<lyrics3::Fields> fields;
    if (block.size() == *size && lyrics3::isWellFormed(block))
        fields = lyrics3::parse(block, *context.codec);
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

// The ID3v2 tag at the start of the file, when the caller asked for it; its
// values stand in for a missing ID3v1 tag with the tag-source setting on.
void readId3v2(const ReadOnlyFile &file, const QString &fileName, QByteArrayView whole, const TagContext &context,
               TagRecord &record)
{
    const bool stands = context.useId3v2 && !record.tagged;
    if (!stands && !context.reportId3v2)
        return;
    record.id3v2 = whole.isEmpty() ? id3v2::read(file, &record.id3v2Unreadable)
                                   : id3v2::read(file, whole, &record.id3v2Unreadable);
    if (record.id3v2Unreadable)
        tell(context, Msg::Id3v2FrameUnreadable, QStringLiteral(": ") + fileName);
    if (stands && record.id3v2)
        id3v2::fillRecord(*record.id3v2, *context.codec, record);
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
    return readTag(ReadOnlyFile(fileName), fileName, context, readError);
}

namespace {

// memory: the fields of the tag read before, when the caller reads a series.
TagRecord readTagWith(const ReadOnlyFile &file, const QString &fileName, const TagContext &context,
                      FsStatus *readError, id3v1::FieldMemory *memory)
{
    TagRecord record;
    if (readError)
        *readError = FsStatus::fromErrno(file.error());
    if (file.error() != 0)
        return record;
    record.fileSize = file.size();
    // A file of 128 to 143 bytes may well be a tag alone (one written into an
    // empty file): it is read as such, so that a write replaces it.
    const qint64 tailSize = qMin<qint64>(record.fileSize, id3v1::kTailSize);
    QByteArray bytes;
    QByteArrayView whole;
    QByteArrayView tail;
    if ((context.useId3v2 || context.reportId3v2) && record.fileSize >= id3v1::kTagSize
        && record.fileSize <= kWholeReadLimit) {
        bytes = file.readAt(0, record.fileSize);
        // A file that changed size since it was opened is read the usual way.
        if (bytes.size() == record.fileSize) {
            whole = bytes;
            tail = whole.last(tailSize);
        }
    }
    if (whole.isEmpty() && tailSize >= id3v1::kTagSize) {
        bytes = file.readAt(record.fileSize - tailSize, tailSize);
        tail = bytes;
    }
    if (tail.size() >= id3v1::kTagSize && tail.size() == tailSize) {
        const QByteArrayView tag = tail.sliced(tail.size() - id3v1::kTagSize);
        record.tagged = id3v1::hasTagHeader(tag);
        if (record.tagged) {
            if (context.nameFieldsOnly)
                id3v1::parseNameFields(tag, *context.codec, record);
            else if (memory)
                id3v1::parse(tag, *context.codec, record, *memory);
            else
                id3v1::parse(tag, *context.codec, record);
            readLyrics3(file, whole, tail, context, record);
        }
    }
    readId3v2(file, fileName, whole, context, record);
    if (!record.hasTag() && record.fileSize < id3v1::kTailSize) {
        if (!context.quietWhenShort)
            tell(context, Msg::FileTooShort, fileName);
        return record;
    }
    record.fillLongFields();
    if (context.override)
        applyOverride(*context.override, record);
    record.updateHasArtistOrAlbum();
    return record;
}

} // namespace

TagRecord readTag(const ReadOnlyFile &file, const QString &fileName, const TagContext &context, FsStatus *readError)
{
    return readTagWith(file, fileName, context, readError, nullptr);
}

TagRecord readTag(const ReadOnlyFile &file, const QString &fileName, const TagContext &context,
                  id3v1::FieldMemory &memory)
{
    return readTagWith(file, fileName, context, nullptr, &memory);
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

namespace {

// Where the file's trailer starts and what replaces it; an error when the
// values cannot be stored.
FsStatus newTrailer(const TagRecord &current, const TagValues &values, const TextCodec &codec, qint64 *start,
                    QByteArray *trailer)
{
    *start = current.fileSize;
    if (current.tagged && current.fileSize >= id3v1::kTagSize) {
        *start -= id3v1::kTagSize;
        if (current.hasLyrics3)
            *start -= current.lyrics3Size;
    }
    const auto isLong = [&](const QString &text) { return codec.encode(text).size() > 30; };
    trailer->clear();
    if (current.hasLyrics3 || isLong(values.title) || isLong(values.artist) || isLong(values.album)) {
        const std::optional<QByteArray> block
            = lyrics3::render(current.keptLyrics3Fields, values.title, values.artist, values.album, codec);
        if (!block) {
            FsStatus tooLarge = FsStatus::fromErrno(EFBIG);
            tooLarge.detail = QStringLiteral("the Lyrics3 block would be longer than its size field allows "
                                             "(999999 bytes); nothing was written");
            return tooLarge;
        }
        *trailer = *block;
    }
    *trailer += id3v1::render(values, codec);
    return FsStatus::success();
}

} // namespace

namespace {

// A tag write: the file's new end, and with the ID3v2 tag its new start too.
struct PlannedWrite {
    qint64 tailStart = 0;
    QByteArray trailer;
    std::optional<FileEnds> ends; // set: the start changes as well
    QString refusal;              // the ID3v2 tag was left alone (why)
};

// The ID3v2 tag at the start of the file whole (empty when it has none); a
// refusal when it cannot be read whole or reaches into the end's tags.
QByteArray headTag(const QString &fileName, qint64 tailStart, QString *refusal)
{
    ReadOnlyFile file(fileName);
    const QByteArray header = file.isRegular() ? file.readAt(0, id3v2::kHeaderSize) : QByteArray();
    const std::optional<qint64> size = id3v2::tagSize(header);
    if (!size)
        return {};
    if (*size > tailStart || *size > id3v2::kMaxWrittenTag) {
        *refusal = QStringLiteral("its ID3v2 tag is too large or cut short");
        return {};
    }
    QByteArray tag = file.readAt(0, *size);
    if (tag.size() != *size) {
        *refusal = QStringLiteral("its ID3v2 tag could not be read");
        return {};
    }
    return tag;
}

FsStatus planWrite(const QString &fileName, const TagRecord &current, const TagValues &values, const TextCodec &codec,
                   id3v2::WriteMode mode, PlannedWrite *plan)
{
    const FsStatus composed = newTrailer(current, values, codec, &plan->tailStart, &plan->trailer);
    if (!composed.ok() || mode == id3v2::WriteMode::Off)
        return composed;
    const QByteArray oldTag = headTag(fileName, plan->tailStart, &plan->refusal);
    if (!plan->refusal.isEmpty() || (oldTag.isEmpty() && mode != id3v2::WriteMode::Add))
        return composed;
    // A new tag beside a tagged file's ID3v1 tag takes all its values.
    const TagValues before = valuesToWrite(current, nullptr);
    const bool everyValue = oldTag.isEmpty() && current.hasTag();
    const id3v2::ComposedTag tag = id3v2::composeTag(oldTag, values, everyValue ? nullptr : &before, codec);
    plan->refusal = tag.refusal;
    if (tag.refusal.isEmpty() && tag.bytes != oldTag)
        plan->ends = FileEnds{oldTag, tag.bytes, plan->tailStart, plan->trailer};
    return composed;
}

// The outcome of a write whose ID3v2 part was refused: the end was written,
// the file still could not be handled whole.
FsStatus withRefusal(const FsStatus &status, const QString &refusal)
{
    if (!status.ok() || refusal.isEmpty())
        return status;
    FsStatus refused = FsStatus::fromErrno(EPROTO);
    refused.detail = QStringLiteral("ID3v2 tag not written: %1; the ID3v1 tag was written").arg(refusal);
    return refused;
}

} // namespace

FsStatus writeTag(const QString &fileName, const TagRecord &current, const TagValues &values,
                  const TextCodec &codec, id3v2::WriteMode id3v2Write)
{
    PlannedWrite plan;
    const FsStatus composed = planWrite(fileName, current, values, codec, id3v2Write, &plan);
    if (!composed.ok())
        return composed;
    if (plan.ends)
        return replaceFileEnds(fileName, *plan.ends);
    return withRefusal(replaceFileEnd(fileName, plan.tailStart, plan.trailer), plan.refusal);
}

void TagWriteBatch::add(const QString &fileName, const TagRecord &current, const TagValues &values, Done done)
{
    PlannedWrite plan;
    const FsStatus composed = planWrite(fileName, current, values, m_codec, m_id3v2Write, &plan);
    if (!composed.ok()) {
        if (done)
            done(composed);
    } else if (plan.ends) {
        m_heads.add(fileName, *plan.ends, std::move(done));
    } else if (plan.refusal.isEmpty()) {
        m_tails.add(fileName, plan.tailStart, plan.trailer, std::move(done));
    } else {
        m_tails.add(fileName, plan.tailStart, plan.trailer, [done, refusal = plan.refusal](const FsStatus &status) {
            if (done)
                done(withRefusal(status, refusal));
        });
    }
}

QString tagsWritten(const QString &fileName, id3v2::WriteMode id3v2Write)
{
    QString tags = QStringLiteral("ID3v1");
    if (id3v2Write == id3v2::WriteMode::Off)
        return tags;
    ReadOnlyFile file(fileName);
    const QByteArray header = file.isRegular() ? file.readAt(0, id3v2::kHeaderSize) : QByteArray();
    if (id3v2::tagSize(header))
        return tags + QStringLiteral(" + ID3v2.%1").arg(int(quint8(header[3])));
    return id3v2Write == id3v2::WriteMode::Add ? tags + QStringLiteral(" + ID3v2.3") : tags;
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
    // Values shown from an ID3v2 tag are saved as an ID3v1 tag, as the editor's own Save does.
    const bool due = confirmed && openStatus.ok() && (current.hasTag() || context.override);
    TagWriteResult result;
    if (due) {
        result.attempted = true;
        result.status = writeTag(fileName, current, values, *context.codec, context.id3v2Write);
        current = readTag(fileName, readContext);
    }
    if (written)
        *written = result;
    return current;
}

bool taginfo(const QString &fileName)
{
    return hasTagOrId3v2(fileName, false);
}

bool hasTagOrId3v2(const QString &fileName, bool useId3v2)
{
    ReadOnlyFile file(fileName);
    if (!file.isOpen() || !file.isRegular())
        return false;
    if (file.size() >= id3v1::kTagSize && id3v1::hasTagHeader(file.readAt(file.size() - id3v1::kTagSize, 3)))
        return true;
    return useId3v2 && id3v2::read(file).has_value();
}

} // namespace kaz
