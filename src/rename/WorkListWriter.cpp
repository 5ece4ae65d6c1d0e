#include "WorkListWriter.h"

#include "platform/FolderListing.h"
#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"


namespace kaz {

WorkListWriter::WorkListWriter(const QString &path, bool append)
    : m_file(path)
{
    const QIODevice::OpenMode mode = append ? QIODevice::Append : (QIODevice::WriteOnly | QIODevice::Truncate);
    // Opening a FIFO or a device would wait or write elsewhere: refused.
    m_notRegular = !isRegularOrMissing(path);
    m_failed = m_notRegular || !m_file.open(mode);
}

QString WorkListWriter::errorString() const
{
    return m_notRegular ? QStringLiteral("not a regular file; left alone") : m_file.errorString();
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
