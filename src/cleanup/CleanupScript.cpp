#include "CleanupScript.h"

namespace kaz {
namespace {

constexpr char16_t kQuote = u'"';
// Positions beyond any name; keeps the arithmetic far from overflow.
constexpr qint64 kMaxPosition = 1000000;

std::u32string withoutQuotes(const QString &text)
{
    std::u32string out;
    for (const char32_t c : text.toUcs4())
        if (c != kQuote)
            out.push_back(c);
    return out;
}

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qint64 numberOf(const QString &digits)
{
    qint64 value = 0;
    for (const QChar c : digits)
        value = qMin(kMaxPosition, value * 10 + (c.unicode() - u'0'));
    return qMax<qint64>(1, value);
}

// Reads a search part without quotes as positions: "5" inserts before
// position 5, "2-4" (any non-digit joins) is a range. False for a text.
bool readPositions(const QString &search, CleanupRule &rule)
{
    QString startDigits;
    QString endDigits;
    bool hasStart = false;
    for (const QChar c : search) {
        if (isDigit(c)) {
            endDigits += c;
        } else {
            startDigits = endDigits;
            hasStart = !startDigits.isEmpty();
            endDigits.clear();
        }
    }
    if (endDigits.isEmpty())
        return false;
    if (!hasStart) {
        rule.kind = CleanupRule::Insertion;
        rule.start = rule.end = numberOf(endDigits);
        return true;
    }
    rule.kind = CleanupRule::Range;
    rule.start = numberOf(startDigits);
    rule.end = numberOf(endDigits);
    if (rule.end < rule.start)
        std::swap(rule.start, rule.end);
    return true;
}

bool parseEntry(const QString &entry, CleanupRule &rule)
{
    const qsizetype quotes = entry.count(kQuote);
    QString search;
    QString replacement;
    if (quotes == 0) {
        search = entry;
    } else if (quotes <= 2) {
        const qsizetype first = entry.indexOf(kQuote);
        search = entry.left(first);
        replacement = entry.mid(first);
    } else {
        const qsizetype first = entry.indexOf(kQuote);
        const qsizetype third = entry.indexOf(kQuote, entry.indexOf(kQuote, first + 1) + 1);
        search = entry.mid(first, third - first);
        replacement = entry.mid(third);
    }
    if (search.isEmpty())
        return false;
    rule.replacement = withoutQuotes(replacement);
    if (search.contains(kQuote) || !readPositions(search, rule)) {
        rule.kind = CleanupRule::String;
        rule.search = withoutQuotes(search);
    }
    return true;
}

} // namespace

QString normalizedScript(const QString &script)
{
    QString text = script;
    for (const char16_t c : {u'*', u'/', u'\\', u'<', u'>', u'|'})
        text.remove(QChar(c));
    if (!text.isEmpty() && !text.endsWith(QLatin1Char(':')))
        text += QLatin1Char(':');
    return text;
}

QList<CleanupRule> parseCleanupScript(const QString &script)
{
    QList<CleanupRule> rules;
    const QString text = normalizedScript(script);
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype colon = text.indexOf(QLatin1Char(':'), from);
        CleanupRule rule;
        if (parseEntry(text.mid(from, colon - from), rule))
            rules.append(rule);
        from = colon + 1;
    }
    return rules;
}

} // namespace kaz
