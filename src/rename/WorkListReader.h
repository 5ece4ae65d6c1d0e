#pragma once

#include <QFile>
#include <QString>

#include <optional>

namespace kaz {

// Reads a work list line by line; CR LF and LF line ends both count. A
// missing list reads as empty.
class WorkListReader
{
public:
    explicit WorkListReader(const QString &path);

    // The next entry, or nullopt at the end. With completeOnly, a last line
    // that lacks its line end (cut off by a crash) is not taken.
    std::optional<QString> next(bool completeOnly = false);

    // Every entry of a list.
    static QStringList readAll(const QString &path, bool completeOnly = false);

private:
    QFile m_file;
};

} // namespace kaz
