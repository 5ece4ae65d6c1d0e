#include "JsonLine.h"

#include <QStringEncoder>

#include <cstring>

namespace kaz::cli {
namespace {

// Characters beyond ASCII, as UTF-8.
void appendUtf8(std::string &out, QStringView text)
{
    QStringEncoder encoder(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const size_t start = out.size();
    out.resize(start + size_t(encoder.requiredSpace(text.size())));
    char *end = encoder.appendToBuffer(out.data() + start, text);
    out.resize(size_t(end - out.data()));
}

bool isPlainAscii(char16_t u)
{
    return u >= 0x20 && u < 0x80 && u != '"' && u != '\\';
}

// Straight from UTF-16: plain ASCII goes in as it is, runs of other
// characters through the encoder, and only what needs it is escaped.
void appendEscaped(std::string &out, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    const QStringView view(text);
    const char16_t *chars = view.utf16();
    const qsizetype size = view.size();
    out += '"';
    for (qsizetype i = 0; i < size;) {
        const char16_t u = chars[i];
        if (isPlainAscii(u)) {
            out += char(u);
            ++i;
            continue;
        }
        if (u >= 0x80) {
            qsizetype end = i + 1;
            while (end < size && chars[end] >= 0x80)
                ++end;
            appendUtf8(out, QStringView(chars + i, end - i));
            i = end;
            continue;
        }
        const char c = char(u);
        ++i;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            const char escaped[] = {'\\', 'u', '0', '0', hex[u >> 4], hex[u & 15]};
            out.append(escaped, sizeof escaped);
        }
        }
    }
    out += '"';
}

} // namespace

void appendJsonString(QByteArray &out, const QString &text)
{
    std::string escaped;
    appendEscaped(escaped, text);
    out.append(escaped.data(), qsizetype(escaped.size()));
}

void JsonLine::addKey(const char *key)
{
    if (m_text.empty())
        m_text.reserve(512);
    m_text += m_text.empty() ? "{\"" : ",\"";
    m_text += key;
    m_text += "\":";
}

JsonLine &JsonLine::add(const char *key, const QString &value)
{
    addKey(key);
    appendEscaped(m_text, value);
    return *this;
}

JsonLine &JsonLine::add(const char *key, bool value)
{
    addKey(key);
    m_text += value ? "true" : "false";
    return *this;
}

JsonLine &JsonLine::add(const char *key, qint64 value)
{
    addKey(key);
    m_text += std::to_string(value);
    return *this;
}

JsonLine &JsonLine::add(const char *key, const JsonLine &object)
{
    addKey(key);
    m_text += object.m_text.empty() ? std::string("{") : object.m_text;
    m_text += '}';
    return *this;
}

QByteArray JsonLine::line() const
{
    QByteArray line;
    line.reserve(qsizetype(m_text.size()) + 3);
    appendLineTo(line);
    return line;
}

void JsonLine::appendLineTo(QByteArray &out) const
{
    out.append(m_text.empty() ? "{" : m_text.data(), m_text.empty() ? 1 : qsizetype(m_text.size()));
    out.append("}\n", 2);
}

} // namespace kaz::cli
