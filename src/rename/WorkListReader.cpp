#include "WorkListReader.h"

#include <QStringList>

namespace kaz {

WorkListReader::WorkListReader(const QString &path)
    : m_file(path)
{
    if (!m_file.open(QIODevice::ReadOnly))
        return;
}

std::optional<QString> WorkListReader::next(bool completeOnly)
{
    if (!m_file.isOpen() || m_file.atEnd())
        return std::nullopt;
    QByteArray line = m_file.readLine();
    if (line.endsWith('\n'))
        line.chop(1);
    else if (completeOnly || line.isEmpty())
        return std::nullopt;
    if (line.endsWith('\r'))
        line.chop(1);
    return QString::fromUtf8(line);
}

QStringList WorkListReader::readAll(const QString &path, bool completeOnly)
{
    WorkListReader reader(path);
    QStringList entries;
    while (std::optional<QString> entry = reader.next(completeOnly))
        entries.append(*entry);
    return entries;
}

} // namespace kaz
