#include "DemoCollection.h"

#include "Id3v1.h"
#include "Lyrics3.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <array>

namespace kaz {
namespace {

struct Album {
    const char *artist; // empty for samplers: the track artists vary
    const char *album;
    const char *year;
    int genre;
};

constexpr std::array kAlbums{
    Album{"Die Ärzte", "Planet Punk", "1995", 43},
    Album{"Motörhead", "Ace of Spades", "1980", 137},
    Album{"Björk", "Homogenic", "1997", 52},
    Album{"AC/DC", "Back in Black", "1980", 79},
    Album{"Guns \"N\" Roses", "Use Your Illusion I", "1991", 17},
    Album{"Mötley Crüe", "Dr. Feelgood", "1989", 79},
    Album{"Herbert Grönemeyer", "Mensch", "2002", 13},
    Album{"What? Who: <Me>", "Pipes | Stars *", "2001", 12},
    Album{"", "Bravo Hits 21", "1998", 13},
    Album{"", "Kuschelrock 11", "1997", 116},
    Album{"The Extraordinarily Long-Named Orchestra of Lower Saxony", "A Symphony Whose Title Goes On Far Beyond Thirty Characters", "2004", 106},
};

constexpr std::array kTitles{
    "Schrei nach Liebe", "Ace of Spades", "Jóga", "Hells Bells", "November Rain", "Kickstart My Heart",
    "Mensch", "Why? Because: \"Yes\"", "Über den Wolken", "Déjà vu", "Ça plane pour moi", "Smörgåsbord",
    "A/B Test", "Back\\Slash", "Star * Light", "Pipe | Dream", "<Intro>", "Eine Nacht in Venedig – Ouvertüre",
    "Twenty Thousand Leagues Under the Sea (Extended Mix)",
};

constexpr std::array kSamplerArtists{"Scooter", "Blümchen", "Mr. President", "Modern Talking", "Tic Tac Toe",
                                     "Sash!", "Caught in the Act", "Fun Factory"};

constexpr std::array kFolders{"", "Incoming", "Incoming/CD1", "Incoming/CD2", "Rock/Neu", "Ältere Sachen",
                              "Sampler/Bravo", "misc/unsorted/deep"};

constexpr std::array kComments{"", "ripped 2001", "Ähnlich gut", "from vinyl", "Live @ Rock am Ring"};

// One frame header: MPEG-1 Layer III, no CRC, 128 kbit/s, 44.1 kHz, no
// padding, joint stereo. A frame is 144 * 128000 / 44100 = 417 bytes.
constexpr unsigned char kFrameHeader[4] = {0xFF, 0xFB, 0x90, 0x64};
constexpr int kFrameSize = 417;

QByteArray lyricsField(const char *id, const QByteArray &value)
{
    return id + QByteArray::number(value.size()).rightJustified(5, '0') + value;
}

} // namespace

QByteArray mp3Frames(int count)
{
    QByteArray frame(kFrameSize, '\0');
    for (int i = 0; i < 4; ++i)
        frame[i] = char(kFrameHeader[i]);
    QByteArray out;
    out.reserve(qsizetype(kFrameSize) * count);
    for (int i = 0; i < count; ++i)
        out += frame;
    return out;
}

QByteArray demoFileBytes(const DemoFile &file, const TextCodec &codec)
{
    QByteArray bytes = mp3Frames(file.frames);
    if (!file.tagged)
        return bytes;
    const auto isLong = [&](const QString &t) { return codec.encode(t).size() > 30; };
    const TagValues &v = file.values;
    if (file.forceLyrics3 || !file.extraLyrics3Fields.isEmpty() || isLong(v.title) || isLong(v.artist)
        || isLong(v.album))
        bytes += lyrics3::render(file.extraLyrics3Fields, v.title, v.artist, v.album, codec).value_or(QByteArray());
    bytes += id3v1::render(v, codec);
    return bytes;
}

bool writeDemoFile(const QString &dir, const DemoFile &file, QString *error)
{
    const QString path = QDir(dir).filePath(file.relativePath);
    if (!QDir().mkpath(QFileInfo(path).absolutePath())) {
        if (error)
            *error = QStringLiteral("cannot create the folder of %1").arg(path);
        return false;
    }
    QFile out(path);
    if (out.exists()) {
        if (error)
            *error = QStringLiteral("%1 exists already").arg(path);
        return false;
    }
    if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        return false;
    }
    // Every byte written out: a full disk fails the file, which then goes.
    const QByteArray bytes = demoFileBytes(file);
    if (out.write(bytes) != bytes.size() || !out.flush()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(path, out.errorString());
        out.close();
        QFile::remove(path); // made by this write: nothing of the user's
        return false;
    }
    return true;
}

QList<DemoFile> planDemoCollection(const DemoOptions &options)
{
    QRandomGenerator random(options.seed);
    QList<DemoFile> files;
    files.reserve(options.count);
    for (int i = 0; i < options.count; ++i) {
        const Album &album = kAlbums[random.bounded(int(kAlbums.size()))];
        DemoFile f;
        const int track = random.bounded(1, 21);
        const bool sampler = album.artist[0] == '\0';
        f.values.title = QString::fromUtf8(kTitles[random.bounded(int(kTitles.size()))]);
        f.values.artist = QString::fromUtf8(sampler && random.bounded(5) != 0
                                                ? kSamplerArtists[random.bounded(int(kSamplerArtists.size()))]
                                                : album.artist);
        f.values.album = QString::fromUtf8(album.album);
        f.values.year = QString::fromLatin1(album.year);
        f.values.comment = QString::fromUtf8(kComments[random.bounded(int(kComments.size()))]);
        f.values.genre = quint8(album.genre);
        f.values.trackText = random.bounded(4) == 0 ? QStringLiteral("0") : id3v1::trackTextFor(track);
        f.tagged = random.bounded(10) != 0;
        if (random.bounded(12) == 0)
            f.extraLyrics3Fields << lyricsField("LYR", "[00:01]la la la\r\n[00:05]na na na");
        f.frames = 2 + random.bounded(4);
        const QString folder = options.tree ? QString::fromUtf8(kFolders[random.bounded(int(kFolders.size()))])
                                            : QString();
        const QString name = QStringLiteral("%1 track%2.mp3").arg(i + 1, 6, 10, QLatin1Char('0')).arg(track, 2, 10, QLatin1Char('0'));
        f.relativePath = folder.isEmpty() ? name : folder + QLatin1Char('/') + name;
        files << f;
    }
    return files;
}

int createDemoCollection(const QString &dir, const DemoOptions &options, QString *error)
{
    int written = 0;
    for (const DemoFile &f : planDemoCollection(options)) {
        if (!writeDemoFile(dir, f, error))
            return written;
        ++written;
    }
    return written;
}

} // namespace kaz
