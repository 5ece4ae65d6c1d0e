#pragma once

#include <QFile>
#include <QString>

#include <optional>

namespace kaz {

// Reads a work list line by line; CR LF and LF line ends both count. A
// missing list reads as empty, and so does anything that is not a regular
// file; a line far longer than any path ends the reading.
class WorkListReader
{
public:
    explicit WorkListReader(const QString &path);

    // The next entry, or nullopt at the end. With completeOnly, a last line
    // that lacks its line end (cut off by a crash) is not taken.
    std::optional<QString> next(bool completeOnly = false);

    // Every entry of a list.
    static QStringList readAll(const QString &path, bool completeOnly = false);

    // Why the list was not read (whole): not a regular file, or a line far
    // too long. Empty when it was.
    QString problem() const { return m_problem; }
    // The number (from 1) of a last line that lacked its line end and was
    // not taken; 0 when there was none.
    qint64 cutLine() const { return m_cutLine; }

private:
    QFile m_file;
    QString m_problem;
    QByteArray m_buffer;
    qint64 m_lines = 0;
    qint64 m_cutLine = 0;
};

} // namespace kaz
