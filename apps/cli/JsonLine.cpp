#include "JsonLine.h"

namespace kaz::cli {

void appendJsonString(QByteArray &out, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    out += '"';
    for (char c : utf8) {
        const uchar u = uchar(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (u < 0x20) {
            switch (c) {
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                out += "\\u00";
                out += hex[u >> 4];
                out += hex[u & 15];
            }
        } else {
            out += c;
        }
    }
    out += '"';
}

void JsonLine::addKey(const char *key)
{
    m_text += m_text.isEmpty() ? "{\"" : ",\"";
    m_text += key;
    m_text += "\":";
}

JsonLine &JsonLine::add(const char *key, const QString &value)
{
    addKey(key);
    appendJsonString(m_text, value);
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
    m_text += QByteArray::number(value);
    return *this;
}

JsonLine &JsonLine::add(const char *key, const JsonLine &object)
{
    addKey(key);
    m_text += object.m_text.isEmpty() ? QByteArray("{") : object.m_text;
    m_text += '}';
    return *this;
}

QByteArray JsonLine::line() const
{
    return (m_text.isEmpty() ? QByteArray("{") : m_text) + "}\n";
}

} // namespace kaz::cli
