#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kaz {

// The lines of KAZ.INI as they are on disk. A line is kept as bytes, so that
// a line nobody changes is written back exactly as it was, whatever its
// encoding. As text a line is UTF-8, or Windows-1252 where it is not valid
// UTF-8 (older versions wrote the file in the Windows code page). Lines end
// in CR LF when written; LF alone is accepted when read.
class IniDocument
{
public:
    IniDocument() = default;
    explicit IniDocument(const QStringList &lines);

    // The file's lines; empty when it cannot be read. exists tells whether it
    // was there and could be read; problem why a file that is there was not.
    static IniDocument read(const QString &path, bool *exists = nullptr, QString *problem = nullptr);
    // Far more than any settings file holds.
    static constexpr qint64 kMaxFileBytes = 16 * 1024 * 1024;
    static IniDocument fromBytes(const QByteArray &bytes);

    qsizetype size() const { return m_lines.size(); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    // Line by 0-based index; empty beyond the end.
    QString line(qsizetype index) const;
    QStringList lines() const;
    // Replaces a line, first adding empty lines when the file is shorter.
    void setLine(qsizetype index, const QString &text);
    void insertLines(qsizetype index, const QStringList &lines);
    void removeLines(qsizetype index, qsizetype count);
    void truncate(qsizetype size);
    void append(const QString &text) { insertLines(size(), {text}); }
    // Index of the first line equal to text at or after from; -1 when none.
    qsizetype indexOf(const QString &text, qsizetype from = 0) const;

    QByteArray toBytes() const;
    // Replaces the file as a whole (through a temporary file), creating its
    // folder. problem names the file and the system's error when it fails.
    [[nodiscard]] bool write(const QString &path, QString *problem = nullptr) const;

private:
    QList<QByteArray> m_lines;
};

} // namespace kaz
