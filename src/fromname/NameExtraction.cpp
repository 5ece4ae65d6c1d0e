#include "NameExtraction.h"

#include "PatternWords.h"
#include "RecordOrder.h"

#include "platform/PathParts.h"
#include "rename/NumberExtractor.h"
#include "tags/Genres.h"
#include "tags/Id3v1.h"

#include <algorithm>
#include <vector>

namespace kaz {
namespace {

// Positions are 1-based as the name's characters; outside the name there
// is nothing.
QChar at(const QString &name, int k)
{
    return k >= 1 && k <= name.size() ? name[k - 1] : QChar();
}

bool isAsciiLetter(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'));
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

bool isOpening(QChar c)
{
    return c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('{');
}

bool isClosing(QChar c)
{
    return c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}');
}

bool threeDots(const QString &n, int k)
{
    return at(n, k) == QLatin1Char('.') && at(n, k + 1) == QLatin1Char('.') && at(n, k + 2) == QLatin1Char('.');
}

// " X." : an initial, whose dot is no delimiter.
bool initial(const QString &n, int k)
{
    return at(n, k) == QLatin1Char(' ') && isAsciiLetter(at(n, k + 1)) && at(n, k + 2) == QLatin1Char('.');
}

// A track number cut out of a name: one to three digits.
bool isShortNumber(const QString &piece)
{
    return !piece.isEmpty() && piece.size() < 4 && std::all_of(piece.begin(), piece.end(), isDigit);
}

// A number as the rename puts it before a name: digits, maybe in
// brackets. The digits; empty for anything else.
QString leadingNumberOf(const QString &piece)
{
    QString digits = piece;
    static const QString pairs[] = {QStringLiteral("[]"), QStringLiteral("{}"), QStringLiteral("()")};
    for (const QString &pair : pairs) {
        if (digits.size() > 2 && digits.front() == pair[0] && digits.back() == pair[1]) {
            digits = digits.mid(1, digits.size() - 2);
            break;
        }
    }
    return !digits.isEmpty() && std::all_of(digits.begin(), digits.end(), isDigit) ? digits : QString();
}

// The track of a number in a name: 1 to 255, with two digits at least;
// empty for any other number.
QString trackOf(const QString &digits)
{
    const int number = digits.size() <= 9 ? digits.toInt() : 0;
    return number >= 1 && number <= 255 ? QString::number(number).rightJustified(2, QLatin1Char('0')) : QString();
}

QString fourDigits(int year)
{
    return QString::number(year).rightJustified(4, QLatin1Char('0'));
}

void applyGeneralInfos(GridRecord &r, const NameSource &file, const FromNameSettings &s, int currentYear)
{
    if (s.useYear) {
        QString year;
        if (s.yearSource == YearSource::FileDate)
            year = fourDigits(file.modifiedYear);
        else if (s.yearSource == YearSource::Today)
            year = fourDigits(currentYear);
        if (!s.year.isEmpty())
            year = s.year.left(4);
        r.cells[ColYear] = year;
    }
    if (s.useTitle)
        r.cells[ColTitle] = s.title;
    if (s.useArtist)
        r.cells[ColArtist] = s.artist;
    if (s.useAlbum)
        r.cells[ColAlbum] = s.album;
    if (s.useComment)
        r.cells[ColComment] = s.comment.left(30);
    if (s.useGenre)
        r.cells[ColGenre] = s.genre;
}

// numberRead: the name began with a number, which the extraction took as
// the track or found to be none.
void syncWithTag(GridRecord &r, const TagRecord &tag, bool tagWins, bool numberRead)
{
    // The long values: a title kept in the Lyrics3 block is not cut to 30.
    const std::array<std::pair<int, QString>, 5> fields{{{ColTitle, tag.longTitle},
                                                         {ColArtist, tag.longArtist},
                                                         {ColAlbum, tag.longAlbum},
                                                         {ColComment, tag.comment},
                                                         {ColYear, id3v1::visibleYear(tag.year)}}};
    const bool hasTrack = tag.trackText != QLatin1String("0");
    if (tagWins) {
        if (hasTrack)
            r.cells[ColTrack] = tag.trackText;
        else if (!numberRead) // "000060" is track 60; "1991" none
            r.cells[ColTrack] = trackOf(extract_number(r.cells[ColFilename]));
        for (const auto &[column, value] : fields) {
            if (!value.isEmpty())
                r.cells[column] = value;
        }
        if (tag.hasTag() && tag.genre != 0)
            r.cells[ColGenre] = genreName(tag.genre);
        return;
    }
    if (r.cells[ColTrack].isEmpty() && hasTrack)
        r.cells[ColTrack] = tag.trackText;
    for (const auto &[column, value] : fields) {
        if (r.cells[column].isEmpty())
            r.cells[column] = value;
    }
    if (tag.hasTag() && r.cells[ColGenre].isEmpty())
        r.cells[ColGenre] = genreName(tag.genre);
}

} // namespace

QString delimiterCandidates(const QStringList &names, bool underscoreToSpace)
{
    std::vector<int> counts(0x10000, 0);
    for (const QString &n : names) {
        for (qsizetype k = 0; k < n.size() - 4; ++k)
            ++counts[n[k].unicode()];
    }
    std::vector<char16_t> present;
    for (int c = 0; c < 0x10000; ++c) {
        const QChar ch(c);
        // No letter of any script, and no half of a character beyond the
        // basic plane, is a delimiter.
        if (counts[c] == 0 || isDigit(ch) || ch.isLetter() || ch.isSurrogate())
            continue;
        if (underscoreToSpace && ch == QLatin1Char('_'))
            continue;
        present.push_back(char16_t(c));
    }
    std::stable_sort(present.begin(), present.end(), [&](char16_t a, char16_t b) { return counts[a] > counts[b]; });
    QString candidates;
    for (char16_t c : present)
        candidates += QChar(c);
    return candidates;
}

NameDelimiter nameDelimiter(const QString &n, const QString &candidates)
{
    const int L = int(n.size());
    // Both states run on from one candidate's scan into the next.
    int skip = 0;
    bool inBracket = false;
    NameDelimiter best{restDelimiter(), 0};
    for (QChar candidate : candidates) {
        int count = 0;
        for (int k = 1; k <= L - 4; ++k) {
            if (k <= L - 7 && (threeDots(n, k) || initial(n, k)))
                skip = 4;
            if (at(n, k) == QLatin1Char('.') && skip == 0) {
                for (int m = k + 2; m < L - 6 && at(n, m) == QLatin1Char('.'); m += 2)
                    skip += 2;
            }
            if (skip > 0)
                --skip;
            if (skip == 0 && !inBracket && at(n, k) == candidate)
                ++count;
            if (isOpening(at(n, k)))
                inBracket = true;
            else if (isClosing(at(n, k)))
                inBracket = false;
        }
        if (count > best.count)
            best = {QString(candidate), count};
    }
    return best;
}

QList<int> delimiterAt(const QString &n, const QString &delimiter)
{
    QList<int> found;
    if (delimiter == restDelimiter() || delimiter.isEmpty())
        return found;
    const qsizetype end = n.size() - 4;
    for (qsizetype i = n.indexOf(delimiter); i >= 0 && i + delimiter.size() <= end;
         i = n.indexOf(delimiter, i + delimiter.size()))
        found << int(i) + 1;
    return found;
}

NameDelimiter chosenDelimiter(const QString &name, const QString &chosen)
{
    const int count = int(delimiterAt(name, chosen).size());
    return count > 0 ? NameDelimiter{chosen, count} : NameDelimiter{restDelimiter(), 0};
}

QList<int> splitPositions(const QString &n, const QString &delimiter)
{
    const int L = int(n.size());
    const bool dot = delimiter == QLatin1String(".");
    const QList<int> found = delimiterAt(n, delimiter);
    qsizetype next = 0;
    // A dot run (abbreviations, "...") is a zone from z on, s long, that is
    // not split.
    int z = 0;
    int s = 0;
    QList<int> positions;
    for (int k = 1; k <= L - 4; ++k) {
        if (dot) {
            if (k <= L - 7 && (threeDots(n, k) || initial(n, k)))
                s = 4;
            if (at(n, k) == QLatin1Char('.') && s == 0) {
                z = k + 2;
                while (at(n, z) == QLatin1Char('.') && z < L - 6) {
                    z += 2;
                    s += 2;
                }
                if (s > 0 && z < L - 6)
                    s -= 2;
                z = k + 2;
            }
        }
        if (z + s < k)
            s = 0;
        const bool atDelimiter = next < found.size() && found[next] == k;
        if (atDelimiter)
            ++next;
        const bool candidate = atDelimiter || k == 1 || k == L - 4;
        if (candidate && !((k >= z || k == 2) && k <= z + s))
            positions << k;
    }
    return positions;
}

QStringList namePieces(const QString &n, const QList<int> &positions, bool underscoreToSpace, int delimiterLength,
                       QString *leadingNumber)
{
    const int last = int(n.size()) - 4;
    QStringList raw;
    if (n.size() < 6) {
        if (last >= 1)
            raw << n.left(1);
    } else {
        for (qsizetype i = 0; i + 1 < positions.size(); ++i) {
            const int p = positions[i];
            const int q = positions[i + 1];
            const int start = p > 1 ? p + delimiterLength : p;
            const int end = q == last ? q : q - 1;
            raw << (end >= start ? n.mid(start - 1, end - start + 1) : QString());
        }
    }
    QStringList pieces;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        QString piece = raw[i];
        if (piece.startsWith(QLatin1Char(' ')))
            piece.remove(0, 1);
        if (piece.endsWith(QLatin1Char(' ')))
            piece.chop(1);
        // Only a name with more than the number in it starts with one.
        if (leadingNumber && i == 0 && raw.size() > 1 && !leadingNumberOf(piece).isEmpty()) {
            *leadingNumber = piece;
            continue;
        }
        if (isShortNumber(piece))
            continue;
        if (underscoreToSpace)
            piece.replace(QLatin1Char('_'), QLatin1Char(' '));
        pieces << piece;
    }
    return pieces;
}

void addToFilterList(QStringList &delimiters, const NameDelimiter &found)
{
    if (delimiters.contains(found.delimiter))
        return;
    if (found.count > 1)
        delimiters.prepend(found.delimiter);
    else
        delimiters.append(found.delimiter);
}

void applyPattern(QList<GridRecord> &records, const QStringList &pattern)
{
    bool marked[GridColumns] = {};
    const auto exchange = [&](int a, int b) {
        for (GridRecord &r : records)
            std::swap(r.cells[a], r.cells[b]);
    };
    for (int c = ColTitle; c <= ColAlbum; ++c) {
        const qsizetype w = c - ColTitle;
        if (w >= pattern.size())
            break;
        const TagWord word = tagWordOf(pattern[w]);
        if (!marked[c] && word == TagWord::Artist) {
            exchange(ColArtist, c);
            marked[ColArtist] = true;
        }
        if (!marked[c] && word == TagWord::Album) {
            exchange(ColAlbum, c);
            marked[ColAlbum] = true;
        }
        if (!marked[c] && word == TagWord::Title) {
            exchange(ColTitle, c);
            marked[ColTitle] = true;
        }
        if (!marked[c] && word == TagWord::Comment)
            exchange(ColComment, c);
    }
}

Extraction extractRecords(const QList<NameSource> &files, const FromNameSettings &settings, int currentYear)
{
    Extraction result;
    QStringList names;
    names.reserve(files.size());
    for (const NameSource &f : files)
        names << fileNameOf(f.path);
    // A delimiter the user chose stands for every name; else each name's own.
    const QString &chosen = settings.splitAt;
    result.candidates = chosen.isEmpty() ? delimiterCandidates(names, settings.underscoreToSpace) : chosen;

    QList<GridRecord> made;
    QList<RecordKey> keys;
    QList<bool> numberRead; // in grid order
    made.reserve(files.size());
    for (qsizetype i = 0; i < files.size(); ++i) {
        const NameDelimiter found
            = chosen.isEmpty() ? nameDelimiter(names[i], result.candidates) : chosenDelimiter(names[i], chosen);
        addToFilterList(result.delimiters, found);
        GridRecord r;
        r.path = files[i].path;
        r.delimiter = found.delimiter;
        r.positions = splitPositions(names[i], found.delimiter);
        r.tagged = files[i].tag.hasTag();
        made << r;
        keys << RecordKey{int(r.positions.size()), int(names[i].size())};
    }
    const QList<int> order = recordOrder(keys);
    result.records.reserve(made.size());
    for (int index : order) {
        GridRecord r = made[index];
        const QString &name = names[index];
        r.cells[ColFilename] = name;
        QStringList pieces;
        if (chosen.isEmpty()) {
            pieces = namePieces(name, r.positions, settings.underscoreToSpace);
        } else {
            // Names as the rename writes them start with the track number.
            QString first;
            pieces = namePieces(name, r.positions, settings.underscoreToSpace, int(chosen.size()), &first);
            const QString number = leadingNumberOf(first);
            r.cells[ColTrack] = trackOf(number);
            numberRead << !number.isEmpty();
            // A longer number (a year) is a field unless the name has a piece
            // to spare; without a pattern the pieces fill four fields.
            const qsizetype fields = settings.pattern.isEmpty() ? 4 : settings.pattern.size();
            if (number.size() >= 4 && pieces.size() < fields)
                pieces.prepend(first);
        }
        for (qsizetype p = 0; p < pieces.size() && ColTitle + p < GridColumns; ++p)
            r.cells[ColTitle + p] = pieces[p];
        r.number = int(result.records.size()) + 1;
        result.records << r;
    }
    applyPattern(result.records, settings.pattern);
    for (qsizetype i = 0; i < result.records.size(); ++i) {
        const NameSource &file = files[order[i]];
        applyGeneralInfos(result.records[i], file, settings, currentYear);
        syncWithTag(result.records[i], file.tag, settings.sync, numberRead.value(i));
    }
    return result;
}

} // namespace kaz
