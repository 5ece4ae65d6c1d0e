#pragma once

#include <QString>
#include <QStringList>

namespace kaz {

// Where the year of the general infos comes from.
enum class YearSource { Typed, FileDate, Today };

// The settings of page "2": what is cut out of the names (low priority),
// values for all files (normal priority) and whether an existing tag wins.
struct FromNameSettings {
    bool sync = true;              // Sync1: an existing tag wins over everything
    bool useTitle = false;         // Check4 + Edit4
    QString title;
    bool useArtist = false;        // Check5 + Edit5
    QString artist;
    bool useAlbum = false;         // Check6 + Edit6
    QString album;
    bool useComment = false;       // Check7 + Edit7
    QString comment;
    bool useGenre = false;         // Check9 + ComboBox1
    QString genre;                 // a genre name
    bool useYear = false;          // Check8
    YearSource yearSource = YearSource::FileDate; // Check10 / Check11
    QString year;                  // Edit8; replaces the date's year when not empty
    QStringList pattern{QStringLiteral("title"), QStringLiteral("artist"), QStringLiteral("album"),
                        QStringLiteral("comment")}; // Edit3, word by word
    bool underscoreToSpace = true; // CheckBox5
    QString splitAt;               // delimiter for every name (1 to 3 characters); empty: each name's own
};

} // namespace kaz
