#include "WorkListWriter.h"

#include "platform/FolderListing.h"
#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"


namespace kaz {

WorkListWriter::WorkListWriter(const QString &path, bool append)
    : m_file(path)
{
    const QIODevice::OpenMode mode = append ? QIODevice::Append : (QIODevice::WriteOnly | QIODevice::Truncate);
    // A link, a FIFO or a device would wait or write elsewhere: refused.
    m_failed = !openWorkFile(m_file, mode, &m_problem);
    if (m_problem.startsWith(path + QStringLiteral(": ")))
        m_problem.remove(0, path.size() + 2);
}

QString WorkListWriter::errorString() const
{
    return m_failed && !m_problem.isEmpty() ? m_problem : m_file.errorString();
}

void WorkListWriter::reportRefusal(QStringList &problems) const
{
    if (!m_file.isOpen())
        problems.append(m_file.fileName() + QStringLiteral(": ") + errorString());
}

bool WorkListWriter::append(const QString &entry)
{
    if (m_failed)
        return false;
    m_line.clear();
    appendNativeBytes(m_line, entry);
    // A line break in the entry would make it two entries.
    if (m_line.find('\n') != std::string::npos || m_line.find('\r') != std::string::npos)
        return false;
    m_line += "\r\n";
    if (m_file.write(m_line.data(), qint64(m_line.size())) != qint64(m_line.size())) {
        m_failed = true;
        return false;
    }
    ++m_count;
    return true;
}

bool WorkListWriter::close()
{
    if (!m_file.isOpen())
        return false;
    const bool ok = m_file.flush() && !m_failed;
    m_file.close();
    return ok;
}

} // namespace kaz
