#pragma once

#include <QString>

namespace kaz {

// text.toUpper(), with names of plain ASCII (nearly all of them) upper-cased
// without the case tables, and shared when they hold no small letter.
inline QString upperCase(const QString &text)
{
    const qsizetype size = text.size();
    const QChar *chars = text.constData();
    qsizetype i = 0;
    for (; i < size; ++i) {
        const char16_t c = chars[i].unicode();
        if (c >= 0x80)
            return text.toUpper();
        if (c >= u'a' && c <= u'z')
            break;
    }
    if (i == size)
        return text;
    QString upper = text;
    char16_t *out = reinterpret_cast<char16_t *>(upper.data());
    for (; i < size; ++i) {
        const char16_t c = out[i];
        if (c >= 0x80)
            return text.toUpper();
        if (c >= u'a' && c <= u'z')
            out[i] = char16_t(c - 32);
    }
    return upper;
}

} // namespace kaz
