#include "Registry.h"

#include "Paths.h"

#include <QDir>
#include "SmallFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace kaz {

QString Registry::defaultPath()
{
    return configFolder() + QStringLiteral("/registry");
}

Registry::Registry(QString path)
    : m_path(std::move(path))
{
    QByteArray bytes;
    if (!readSmallFile(m_path, 1024 * 1024, &bytes))
        return;
    const QList<QByteArray> lines = bytes.split('\n');
    for (QByteArray line : lines) {
        if (line.endsWith('\r'))
            line.chop(1);
        const qsizetype eq = line.indexOf('=');
        if (eq > 0)
            m_values.insert(QString::fromUtf8(line.first(eq)), QString::fromUtf8(line.mid(eq + 1)));
    }
}

QString Registry::value(const QString &name) const
{
    return m_values.value(name);
}

void Registry::setValue(const QString &name, const QString &value)
{
    m_values.insert(name, value);
}

bool Registry::save(QString *problem) const
{
    QByteArray bytes;
    for (auto it = m_values.cbegin(); it != m_values.cend(); ++it) {
        QString v = it.value();
        v.remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
        bytes += (it.key() + QLatin1Char('=') + v + QStringLiteral("\r\n")).toUtf8();
    }
    return writeSmallFile(m_path, bytes, problem);
}

Language storedLanguage()
{
    return languageFromKey(Registry().value(Registry::kLanguage));
}

} // namespace kaz
