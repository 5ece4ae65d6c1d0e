#pragma once

#include <QFile>
#include <QString>
#include <QStringList>

#include <string>

namespace kaz {

// Writes a work list: one entry per line, UTF-8, CR LF. The list is
// recreated on open. Entries with a line break are refused (they would
// become two entries).
class WorkListWriter
{
public:
    explicit WorkListWriter(const QString &path, bool append = false);

    bool isOpen() const { return m_file.isOpen(); }
    // Adds "file: why" to problems when the list could not be opened.
    void reportRefusal(QStringList &problems) const;
    bool append(const QString &entry);
    qint64 count() const { return m_count; }
    // Writes what is buffered; false when the disk refused it.
    bool close();
    // Why the list was refused (it names the file), or the system's error of
    // the last failure.
    QString errorString() const;

private:
    QFile m_file;
    std::string m_line; // one buffer for every line
    qint64 m_count = 0;
    bool m_failed = false;
    QString m_problem; // why the list was not opened
};

} // namespace kaz
