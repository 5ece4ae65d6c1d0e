#include "WorkListReader.h"

#include "platform/SmallFile.h"

#include <QStringList>

namespace kaz {

namespace {

// No path comes near this; a longer line means the file is not a work list.
constexpr qint64 kMaxLineBytes = 64 * 1024;

} // namespace

WorkListReader::WorkListReader(const QString &path)
    : m_file(path)
{
    // A FIFO or a device would make the open or the reads wait forever; a
    // link would read a list from elsewhere.
    openWorkFile(m_file, QIODevice::ReadOnly, &m_problem);
}

std::optional<QString> WorkListReader::next(bool completeOnly)
{
    if (!m_file.isOpen() || m_file.atEnd())
        return std::nullopt;
    // One buffer for every line: a fresh one of this size per line would
    // cost a memory mapping and its release each time.
    if (m_buffer.isEmpty())
        m_buffer.resize(kMaxLineBytes + 1);
    const qint64 length = m_file.readLine(m_buffer.data(), m_buffer.size());
    if (length < 0)
        return std::nullopt;
    QByteArrayView line(m_buffer.constData(), length);
    ++m_lines;
    if (line.endsWith('\n')) {
        line.chop(1);
    } else if (!m_file.atEnd()) {
        m_problem = m_file.fileName() + QStringLiteral(": a line far longer than a path; the rest is not read");
        m_file.close();
        return std::nullopt;
    } else if (completeOnly || line.isEmpty()) {
        if (!line.isEmpty())
            m_cutLine = m_lines;
        return std::nullopt;
    }
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
