#include "WorkListWriter.h"

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
    if (m_failed || hasLineBreak(entry))
        return false;
    QByteArray line = entry.toUtf8();
    line += "\r\n";
    if (m_file.write(line) != line.size()) {
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
