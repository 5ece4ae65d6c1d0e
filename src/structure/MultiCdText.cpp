#include "MultiCdText.h"

namespace kaz {
namespace {

bool isHexDigit(QChar c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    }
    return text;
}

// The comment from the two characters in front of its numeric tail, or
// empty when it has no multi-CD text there.
QString normalised(const QString &comment)
{
    const QString text = comment.isEmpty() ? QStringLiteral(" ") : comment;
    const QChar last = text.back();
    if (last < u'0' || last > u'9')
        return {};
    // p is 1-based as in the loop it comes from: the tail starts at p + 1.
    qsizetype p = text.size();
    while (p >= 1 && readsAsInteger(QStringView(text).mid(p - 1)))
        --p;
    if (p < 2)
        return {};
    if (asciiUpper(text.mid(p - 2, 2)) != QLatin1String("CD"))
        return {};
    QString result = asciiUpper(text.mid(p - 2));
    if (result.size() >= 4) {
        const QString head = result.left(3);
        QString tail = result.mid(3);
        tail.remove(QLatin1Char(' '));
        result = head + tail;
    }
    if (result.size() == 3)
        result.insert(2, QLatin1Char(' '));
    return result;
}

} // namespace

bool readsAsInteger(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    bool hex = false;
    if (i < text.size() && (text[i] == u'$' || text[i] == u'x' || text[i] == u'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < text.size() && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= text.size())
        return false;
    quint64 value = 0;
    for (; i < text.size(); ++i) {
        const QChar c = text[i];
        if (hex ? !isHexDigit(c) : (c < u'0' || c > u'9'))
            return false;
        const int digit = c <= u'9' ? c.unicode() - u'0' : (c.toUpper().unicode() - u'A' + 10);
        value = value * (hex ? 16 : 10) + quint64(digit);
        if (value > 0xFFFFFFFFull)
            return false;
    }
    if (hex)
        return true;
    return value <= (negative ? 2147483648ull : 2147483647ull);
}

QString multiCdText(const QString &comment, bool enabled)
{
    return enabled ? normalised(comment) : QString();
}

QString pictureComment(const QString &comment)
{
    QString prepared = normalised(comment);
    if (prepared.isEmpty())
        prepared = comment.isEmpty() ? QStringLiteral(" ") : comment;
    return prepared.size() > 10 ? prepared.right(10) : prepared;
}

} // namespace kaz
