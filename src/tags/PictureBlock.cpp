#include "PictureBlock.h"

#include "Id3v1.h"
#include "Lyrics3.h"
#include "TagIO.h"
#include "platform/PathParts.h"

#include "platform/FaultPoint.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace kaz::picture {
namespace {

constexpr int kZeros = 16;

QByteArray field(const QString &text, int width, const TextCodec &codec)
{
    QByteArray bytes = codec.encode(QStringView(text).left(width));
    bytes.truncate(width);
    return bytes + QByteArray(width - bytes.size(), ' ');
}

} // namespace

bool hasMarker(const QString &comment)
{
    return comment.startsWith(kMarker);
}

QByteArray renderBlock(const QString &name, const QString &artist, const QString &album,
                       const QString &preparedComment, const TextCodec &codec)
{
    QByteArray block(kZeros, '0');
    const auto isLong = [&codec](const QString &text) { return codec.encode(text).size() > 30; };
    if (isLong(name) || isLong(artist) || isLong(album))
        if (const auto lyrics = lyrics3::render({}, name, artist, album, codec))
            block += *lyrics;
    block += "TAG";
    block += field(name, 30, codec);
    block += field(artist, 30, codec);
    block += field(album, 30, codec);
    block += "    ";
    block += field(kMarker + preparedComment, 29, codec);
    block += '\r'; // the last comment byte: no track number
    block += '\n'; // the genre byte
    return block;
}

TagRecord tagAfterAppending(const QByteArray &block, qint64 fileSize, const TextCodec &codec)
{
    TagRecord record;
    record.fileSize = fileSize + block.size();
    record.tagged = true;
    id3v1::parse(QByteArrayView(block).last(id3v1::kTagSize), codec, record);
    const qsizetype lyricsBytes = block.size() - kZeros - id3v1::kTagSize;
    if (lyricsBytes > lyrics3::kMarksSize) {
        const auto fields
            = lyrics3::parse(QByteArrayView(block).sliced(kZeros, lyricsBytes - lyrics3::kMarksSize), codec);
        if (fields) {
            record.hasLyrics3 = true;
            record.lyrics3Size = lyricsBytes;
            record.longTitle = fields->title.value_or(QString());
            record.longArtist = fields->artist.value_or(QString());
            record.longAlbum = fields->album.value_or(QString());
        }
    }
    record.fillLongFields();
    record.updateHasArtistOrAlbum();
    return record;
}

qint64 blockSize(const QString &path, const TagRecord &tag)
{
    if (!tag.tagged || !hasMarker(tag.comment))
        return 0;
    const qint64 size = kZeros + (tag.hasLyrics3 ? tag.lyrics3Size : 0) + id3v1::kTagSize;
    if (size > tag.fileSize)
        return 0;
    const ReadOnlyFile file(path);
    if (!file.isOpen() || file.size() != tag.fileSize)
        return 0;
    return file.readAt(tag.fileSize - size, kZeros) == QByteArray(kZeros, '0') ? size : 0;
}

namespace {

// The file itself for writing: never through a link, never blocking on a
// pipe or device, and only when what was opened is a regular file.
int openRegularForWriting(const QString &path, struct stat *st)
{
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY);
    if (fd < 0)
        return -errno;
    if (::fstat(fd, st) != 0 || !S_ISREG(st->st_mode)) {
        ::close(fd);
        return -EINVAL;
    }
    return fd;
}

} // namespace

FsStatus append(const QString &path, const QByteArray &block)
{
    struct stat st {};
    const int fd = openRegularForWriting(path, &st);
    if (fd < 0)
        return FsStatus::fromErrno(-fd);
    faultPoint("picture");
    qint64 done = 0;
    int err = 0;
    while (done < block.size()) {
        const ssize_t n = ::pwrite(fd, block.constData() + done, size_t(block.size() - done), st.st_size + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            err = n < 0 ? errno : EIO;
            break;
        }
        done += n;
    }
    if (err && ::ftruncate(fd, st.st_size) != 0)
        err = errno;
    ::close(fd);
    return FsStatus::fromErrno(err);
}

FsStatus cut(const QString &path, qint64 size)
{
    struct stat st {};
    const int fd = openRegularForWriting(path, &st);
    if (fd < 0)
        return FsStatus::fromErrno(-fd);
    int err = st.st_size < size ? EINVAL : 0;
    if (!err) {
        faultPoint("picture");
        if (::ftruncate(fd, st.st_size - size) != 0)
            err = errno;
    }
    ::close(fd);
    return FsStatus::fromErrno(err);
}

bool stripIfRestored(const QString &path, const TextCodec &codec)
{
    TagContext context;
    context.codec = &codec;
    context.quietWhenShort = true;
    const TagRecord tag = readTag(path, context);
    const qint64 size = blockSize(path, tag);
    const QString name = fileNameOf(path);
    // The title holds the name as the code page could write it.
    QString written = codec.decode(codec.encode(name));
    while (written.endsWith(QLatin1Char(' ')))
        written.chop(1);
    if (size == 0 || (tag.longTitle != name && tag.longTitle != written))
        return false;
    return cut(path, size).ok();
}

} // namespace kaz::picture
