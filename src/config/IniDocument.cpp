#include "IniDocument.h"

#include "platform/TextCodec.h"

#include <QDir>
#include "platform/SmallFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace kaz {
namespace {

QByteArray encodeLine(const QString &text)
{
    // A line break inside a value would shift every line after it.
    QString oneLine = text;
    oneLine.remove(QLatin1Char('\r')).remove(QLatin1Char('\n'));
    return oneLine.toUtf8();
}

} // namespace

IniDocument::IniDocument(const QStringList &lines)
{
    m_lines.reserve(lines.size());
    for (const QString &l : lines)
        m_lines.append(encodeLine(l));
}

IniDocument IniDocument::read(const QString &path, bool *exists, QString *problem)
{
    QByteArray bytes;
    QString refused;
    const bool read = readSmallFile(path, kMaxFileBytes, &bytes, &refused);
    // A file that is refused (a FIFO, a device, gigabytes) counts as missing:
    // the defaults are used, and the next write puts a real file there.
    if (exists)
        *exists = read;
    if (problem)
        *problem = refused;
    return read ? fromBytes(bytes) : IniDocument();
}

IniDocument IniDocument::fromBytes(const QByteArray &bytes)
{
    IniDocument doc;
    QByteArrayView rest(bytes);
    if (rest.startsWith("\xEF\xBB\xBF")) // a byte-order mark some editors add
        rest = rest.sliced(3);
    while (!rest.isEmpty()) {
        const qsizetype end = rest.indexOf('\n');
        QByteArrayView line = end < 0 ? rest : rest.first(end);
        rest = end < 0 ? QByteArrayView() : rest.sliced(end + 1);
        if (line.endsWith('\r'))
            line.chop(1);
        doc.m_lines.append(line.toByteArray());
    }
    return doc;
}

QString IniDocument::line(qsizetype index) const
{
    if (index < 0 || index >= m_lines.size())
        return {};
    const QByteArray &bytes = m_lines.at(index);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    return utf8.hasError() ? defaultTextCodec().decode(bytes) : text;
}

QStringList IniDocument::lines() const
{
    QStringList out;
    out.reserve(m_lines.size());
    for (qsizetype i = 0; i < m_lines.size(); ++i)
        out.append(line(i));
    return out;
}

void IniDocument::setLine(qsizetype index, const QString &text)
{
    if (index < 0)
        return;
    while (m_lines.size() <= index)
        m_lines.append(QByteArray());
    m_lines[index] = encodeLine(text);
}

void IniDocument::insertLines(qsizetype index, const QStringList &lines)
{
    index = qBound(qsizetype(0), index, m_lines.size());
    for (const QString &l : lines)
        m_lines.insert(index++, encodeLine(l));
}

void IniDocument::removeLines(qsizetype index, qsizetype count)
{
    if (index < 0 || index >= m_lines.size() || count <= 0)
        return;
    m_lines.remove(index, qMin(count, m_lines.size() - index));
}

void IniDocument::truncate(qsizetype size)
{
    if (size >= 0 && size < m_lines.size())
        m_lines.resize(size);
}

qsizetype IniDocument::indexOf(const QString &text, qsizetype from) const
{
    const QByteArray wanted = text.toUtf8();
    for (qsizetype i = qMax(qsizetype(0), from); i < m_lines.size(); ++i) {
        if (m_lines.at(i) == wanted)
            return i;
    }
    return -1;
}

QByteArray IniDocument::toBytes() const
{
    QByteArray out;
    for (const QByteArray &l : m_lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

bool IniDocument::write(const QString &path, QString *problem) const
{
    return writeSmallFile(path, toBytes(), problem);
}

} // namespace kaz
