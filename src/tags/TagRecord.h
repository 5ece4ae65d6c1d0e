#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <algorithm>
#include <optional>
#include <utility>

namespace kaz {

// The fields KAZ uses from an ID3v2 tag at the start of a file, as the tag
// holds them (Unicode, no length limit).
struct Id3v2Values {
    int version = 0;       // 2, 3 or 4 (ID3v2.2 to 2.4)
    QString title;         // TIT2
    QString artist;        // TPE1
    QString album;         // TALB
    QString recordingDate; // TDRC (TYER in ID3v2.2/2.3): "2001" or "2001-05-04"
    QString track;         // TRCK as it stands: "3" or "3/12"
    QString genre;         // TCON as a name ("(17)" and "17" give "Rock")
    int genreNumber = 255; // that name's number in the genre list; 255 when none
    QString comment;       // the COMM frame without a description, else the first

    bool operator==(const Id3v2Values &) const = default;
};

// The current tag: what one read of a file's ID3v1 tag and Lyrics3 block
// gave. Every operation reads it again from the file just before use.
struct TagRecord {
    QString title;   // at most 30 characters, trailing codes <= 32 removed
    QString artist;
    QString album;
    QString year;    // 4 characters as they stand
    QString comment; // trimmed after the track test
    QString trackText = QStringLiteral("0"); // "0", "07", "12", "123"
    quint8 track = 0;
    quint8 genre = 0;
    QString longTitle; // Lyrics3 "ETT", else a copy of title
    QString longArtist;
    QString longAlbum;
    bool tagged = false;
    bool hasLyrics3 = false;
    qint64 lyrics3Size = 0; // the whole block in bytes, marks included
    qint64 fileSize = 0;
    bool hasArtistOrAlbum = false;

    // Lyrics3 fields other than ETT/EAR/EAL, whole and in the order they are
    // written back ("IND", "LYR", "INF", "AUT", "IMG").
    QList<QByteArray> keptLyrics3Fields;

    // Not part of the classic record. fromId3v2: the fields above came from
    // the file's ID3v2 tag because it has no ID3v1 tag (tagged stays false:
    // the file's end holds no tag to replace). id3v2: that tag, when the
    // reader was asked to look for one.
    bool fromId3v2 = false;
    std::optional<Id3v2Values> id3v2;
    // A frame of that tag could not be read (it inflates past its size).
    bool id3v2Unreadable = false;

    // The file has values to work with: an ID3v1 tag, or an ID3v2 tag in its place.
    bool hasTag() const { return tagged || fromId3v2; }
    // A long field that no Lyrics3 field gave is the tag's own.
    void fillLongFields()
    {
        for (auto [longField, field] : {std::pair{&longTitle, &title}, {&longArtist, &artist}, {&longAlbum, &album}})
            if (longField->isEmpty())
                *longField = *field;
    }
    // Artist or album holds more than the blanks that pad a tag's fields.
    void updateHasArtistOrAlbum()
    {
        const auto blank = [](const QString &s) {
            return std::all_of(s.begin(), s.end(), [](QChar c) { return c == QLatin1Char(' '); });
        };
        hasArtistOrAlbum = !blank(longArtist) || !blank(longAlbum);
    }
};

// Values to be written into a file: what the tag editor shows or what an
// override hands in. Title, artist and album may be longer than 30
// characters; the rest goes to the Lyrics3 block.
struct TagValues {
    QString title;
    QString artist;
    QString album;
    QString year;
    QString comment;
    QString trackText = QStringLiteral("0");
    quint8 genre = 0;
};

// Values that callers writing tags from file names hand in. Empty texts and
// genre 0 leave the file's own values in place.
struct TagOverride {
    QString title;
    QString artist;
    QString album;
    QString comment;
    QString year;
    quint8 genre = 0;
    // Store the genre even when it is 0 ("Blues"), which otherwise means
    // "keep the file's genre".
    bool forceGenre = false;
    // Not part of the classic record: a track number to store ("0" or empty
    // keeps the file's own).
    QString trackText;
};

} // namespace kaz
