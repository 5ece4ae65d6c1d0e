#include "NumberExtractor.h"

namespace kaz {
namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

// Digits only, and few enough to read as a whole number.
bool readsAsNumber(const QString &text)
{
    if (text.isEmpty() || text.size() > 18)
        return false;
    for (QChar c : text) {
        if (!isDigit(c))
            return false;
    }
    return true;
}

QString leadingDigits(const QString &name)
{
    qsizetype i = 0;
    while (i < name.size() && isDigit(name[i]))
        ++i;
    return name.left(i);
}

QString trailingNumber(QString name)
{
    // p: the part in front of p may end in the number; a bracketed tail
    // from p on is cut away.
    const bool closingBracket = name.endsWith(QLatin1Char(']')) || name.endsWith(QLatin1Char('}'));
    if (closingBracket)
        name.chop(1);
    qsizetype p = name.size();
    if (!closingBracket && name.endsWith(QLatin1Char(')'))) {
        p = name.size() - 1;
        while (p > 0 && name[p] != QLatin1Char('('))
            --p;
    }
    if (p > 0) {
        const QChar before = name[p - 1];
        if (before == QLatin1Char(')') || before == QLatin1Char(']') || before == QLatin1Char('}'))
            name.truncate(p - 1);
        else if (isDigit(before))
            name.truncate(p);
        else
            name.chop(1);
    }
    qsizetype start = name.size() - 1;
    while (start > 0 && isDigit(name[start - 1]))
        --start;
    // A last character that is no digit leaves no number.
    if (start < 0 || !isDigit(name.back()))
        return {};
    return name.mid(start);
}

} // namespace

QString extract_number(const QString &fileName)
{
    QString name = fileName.toUpper();
    if (name.isEmpty())
        return {};
    name.chop(4);
    name.remove(QLatin1Char(' '));
    if (name.size() > 1 && name.startsWith(QLatin1Char('!')))
        name.remove(0, 1);
    // A bracketed number in front ("[07] - ...") counts as a leading number.
    if (name.startsWith(QLatin1Char('[')) || name.startsWith(QLatin1Char('{')) || name.startsWith(QLatin1Char('(')))
        name.remove(0, 1);
    if (name.isEmpty())
        return {};
    QString number = leadingDigits(name);
    if (number.isEmpty())
        number = trailingNumber(name);
    if (!readsAsNumber(number))
        return {};
    if (number.size() == 1)
        number.prepend(QLatin1Char('0'));
    return number == QLatin1String("00") ? QString() : number;
}

} // namespace kaz
