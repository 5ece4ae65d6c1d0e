#pragma once

#include "Utf16Scan.h"

#include <QByteArray>
#include <QStringView>
#include <QVarLengthArray>

namespace kaz {

// A name or path as the bytes a system call takes (UTF-8, closed by a NUL),
// held on the stack: a run over many files converts each name without an
// allocation of its own.
class NativeName
{
public:
    explicit NativeName(QStringView text)
    {
        m_bytes.resize(3 * text.size() + 1);
        char *end = writeUtf8(m_bytes.data(), text);
        *end = '\0';
        m_size = end - m_bytes.data();
    }

    const char *c_str() const { return m_bytes.constData(); }
    qsizetype size() const { return m_size; }
    // The bytes without a copy; valid while this object lives.
    QByteArray bytes() const { return QByteArray::fromRawData(m_bytes.constData(), m_size); }

private:
    QVarLengthArray<char, 1024> m_bytes;
    qsizetype m_size = 0;
};

} // namespace kaz
