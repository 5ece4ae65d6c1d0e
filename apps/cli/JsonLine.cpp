#include "JsonLine.h"

#include <cstring>

namespace kaz::cli {
namespace {

// Runs of plain bytes go in at once; only the few that need it are escaped.
void appendEscaped(std::string &out, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    const char *bytes = utf8.constData();
    out += '"';
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const char c = bytes[i];
        const uchar u = uchar(c);
        if (u >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(bytes + plainFrom, size_t(i - plainFrom));
        plainFrom = i + 1;
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
    out.append(bytes + plainFrom, size_t(utf8.size() - plainFrom));
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
    m_text += object.m_text.isEmpty() ? QByteArray("{") : object.m_text;
    m_text += '}';
    return *this;
}

QByteArray JsonLine::line() const
{
    QByteArray line;
    line.reserve(qsizetype(m_text.size()) + 3);
    line.append(m_text.empty() ? "{" : m_text.data(), m_text.empty() ? 1 : qsizetype(m_text.size()));
    line.append("}\n", 2);
    return line;
}

} // namespace kaz::cli
