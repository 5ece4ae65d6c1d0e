// Feeds arbitrary file contents to the tag reader and writer: no input may
// crash it or make it read outside the file. The reads take the bytes in
// memory; inputs that start with an ID3v2 header also go through the ID3v2
// readers (the common-tag reader must agree with TagLib). One input in
// sixteen is also written to a file for the writes: the conversion, which
// must leave every byte of the old file in place, and a long value, which
// must read back.
#include "tags/Id3v1.h"
#include "tags/Id3v2.h"
#include "tags/Id3v2Conversion.h"
#include "tags/Lyrics3.h"
#include "tags/TagIO.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

namespace {

bool restore(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

void checkWrites(const QByteArray &bytes, const kaz::TagRecord &fromV2, const kaz::TagRecord &tag)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.mp3"));
    // Tag writes keep a journal in the program folder: a temporary one here.
    static const bool home = qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
    (void)home;
    if (!restore(path, bytes))
        return;
    kaz::TagContext context;
    if (bytes.startsWith("ID3")) {
        // A conversion touches nothing in front of the old tag at the end.
        const qint64 kept = fromV2.tagged ? fromV2.fileSize - 128 - fromV2.lyrics3Size : fromV2.fileSize;
        if (kaz::convertFromId3v2(path, bytes.size() % 3 == 0, context).outcome == kaz::ConversionOutcome::Written) {
            QFile f(path);
            if (!f.open(QIODevice::ReadOnly) || !f.readAll().startsWith(bytes.left(kept)))
                __builtin_trap();
        }
        if (!restore(path, bytes))
            return;
    }
    if (tag.tagged) {
        kaz::TagOverride values;
        values.artist = QStringLiteral("An artist whose name needs more than thirty characters");
        context.override = &values;
        QString name = path;
        kaz::get_id3tag(name, false, context);
        const kaz::TagRecord again = kaz::readTag(path, {});
        if (again.longArtist != values.artist)
            __builtin_trap(); // a write must read back
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    static const QString name = QStringLiteral("fuzz.mp3");

    kaz::lyrics3::parse(bytes, kaz::defaultTextCodec());
    kaz::lyrics3::isWellFormed(bytes);
    // parse() reads common tags without TagLib: it must give what TagLib gives.
    if (kaz::id3v2::parse(bytes) != kaz::id3v2::parseWithTagLib(bytes))
        __builtin_trap();
    const kaz::ReadOnlyFile file(kaz::ReadOnlyFile::InMemory{bytes});
    kaz::TagRecord fromV2;
    if (bytes.startsWith("ID3")) {
        kaz::TagContext v2;
        v2.useId3v2 = true;
        v2.reportId3v2 = true;
        fromV2 = kaz::readTag(file, name, v2);
        if (fromV2.fromId3v2 && (fromV2.title.size() > 30 || fromV2.comment.size() > 30 || fromV2.year.size() > 4))
            __builtin_trap(); // the record keeps the ID3v1 widths
    }
    const kaz::TagRecord tag = kaz::readTag(file, name, {});
    if (size % 16 == 0)
        checkWrites(bytes, fromV2, tag);
    return 0;
}
