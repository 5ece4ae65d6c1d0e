// Feeds arbitrary file contents to the tag reader and writer: no input may
// crash it or make it read outside the file.
#include "tags/Id3v1.h"
#include "tags/Lyrics3.h"
#include "tags/TagIO.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("fuzz.mp3"));
    // Tag writes keep a journal in the program folder: a temporary one here.
    static const bool home = qputenv("XDG_DATA_HOME", QFile::encodeName(dir.path()));
    (void)home;
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    kaz::lyrics3::parse(bytes, kaz::defaultTextCodec());
    kaz::lyrics3::isWellFormed(bytes);
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(bytes);
    }
    kaz::TagContext context;
    const kaz::TagRecord tag = kaz::readTag(path, context);
    if (tag.tagged && size % 2 == 0) {
        kaz::TagOverride values;
        values.artist = QStringLiteral("An artist whose name needs more than thirty characters");
        context.override = &values;
        QString name = path;
        kaz::get_id3tag(name, false, context);
        const kaz::TagRecord again = kaz::readTag(path, {});
        if (again.longArtist != values.artist)
            __builtin_trap(); // a write must read back
    }
    return 0;
}
