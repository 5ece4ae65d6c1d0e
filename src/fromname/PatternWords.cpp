#include "PatternWords.h"

namespace kaz {

TagWord tagWordOf(const QString &word)
{
    const QString w = word.trimmed().toUpper();
    if (w == QLatin1String("TITLE") || w == QLatin1String("TITEL"))
        return TagWord::Title;
    if (w == QLatin1String("ARTIST") || w == QLatin1String("INTERPRET"))
        return TagWord::Artist;
    if (w == QLatin1String("ALBUM"))
        return TagWord::Album;
    if (w == QLatin1String("COMMENT") || w == QLatin1String("KOMMENTAR"))
        return TagWord::Comment;
    return TagWord::None;
}

QString tagWordText(TagWord word, Language l)
{
    switch (word) {
    case TagWord::Title:
        return QString::fromUtf8(tr2(l, "title", "Titel"));
    case TagWord::Artist:
        return QString::fromUtf8(tr2(l, "artist", "Interpret"));
    case TagWord::Album:
        return QString::fromUtf8(tr2(l, "album", "Album"));
    case TagWord::Comment:
        return QString::fromUtf8(tr2(l, "comment", "Kommentar"));
    case TagWord::None:
        break;
    }
    return {};
}

QStringList patternWords(const QString &pattern)
{
    QStringList words;
    for (const QString &w : pattern.split(QStringLiteral(" - "))) {
        if (!w.trimmed().isEmpty())
            words << w.trimmed();
    }
    return words;
}

QString patternText(const QStringList &words)
{
    return words.join(QStringLiteral(" - "));
}

QStringList translatePattern(const QStringList &words, Language language)
{
    QStringList out;
    for (const QString &w : words) {
        const TagWord word = tagWordOf(w);
        out << (word == TagWord::None ? w : tagWordText(word, language));
    }
    return out;
}

} // namespace kaz
