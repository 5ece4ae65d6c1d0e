#pragma once

#include <QByteArray>
#include <QString>

#include <string>

namespace kaz::cli {

// Builds one JSON object on one line, in the order the fields are added.
// Much cheaper than QJsonObject for the many rows a collection gives.
class JsonLine
{
public:
    JsonLine &add(const char *key, const QString &value);
    JsonLine &add(const char *key, bool value);
    JsonLine &add(const char *key, qint64 value);
    JsonLine &add(const char *key, int value) { return add(key, qint64(value)); }
    // A nested object.
    JsonLine &add(const char *key, const JsonLine &object);
    // The finished object with a line feed.
    QByteArray line() const;
    // The same, appended to out (one buffer for many lines).
    void appendLineTo(QByteArray &out) const;
    // Empties the object for the next line, keeping its buffer.
    void clear() { m_text.clear(); }

private:
    void addKey(const char *key);
    std::string m_text;
};

// Text as a quoted JSON string; control characters as \u00XX.
void appendJsonString(QByteArray &out, const QString &text);

} // namespace kaz::cli
