#pragma once

#include "platform/Language.h"

#include <QString>
#include <QStringList>

namespace kaz {

// The words of the extraction pattern and of the grid's field headers.
enum class TagWord { None, Title, Artist, Album, Comment };

// Either language's word, in any letter case: "title"/"Titel",
// "artist"/"Interpret", "album", "comment"/"Kommentar".
TagWord tagWordOf(const QString &word);
// The word as the pattern shows it in a language ("title", "Titel").
QString tagWordText(TagWord word, Language language);

// The pattern's words from its text: each word is followed by " - " (the
// last one may stand alone).
QStringList patternWords(const QString &pattern);
// The text the pattern field shows.
QString patternText(const QStringList &words);
// The words put into the other language; unknown words stay.
QStringList translatePattern(const QStringList &words, Language language);

} // namespace kaz
