#include "WorkListWriter.h"

#include "platform/NativeName.h"
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
    const NativeName line(entry);
    if (m_file.write(line.c_str(), line.size()) != line.size() || m_file.write("\r\n", 2) != 2) {
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
