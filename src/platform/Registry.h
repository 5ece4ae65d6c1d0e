#pragma once

#include "Language.h"

#include <QMap>
#include <QString>

namespace kaz {

// The stand-in for the program's registry key: a small "name=value" file in
// the config folder holding "KAZ Directory" and "Language".
class Registry
{
public:
    // The value names the program uses.
    static inline const QString kKazDirectory = QStringLiteral("KAZ Directory");
    static inline const QString kLanguage = QStringLiteral("Language");

    // The file in the config folder.
    static QString defaultPath();

    explicit Registry(QString path = defaultPath());

    QString value(const QString &name) const;
    bool contains(const QString &name) const { return m_values.contains(name); }
    void remove(const QString &name) { m_values.remove(name); }
    void setValue(const QString &name, const QString &value);
    // Writes the file (creating its folder); false when it cannot be
    // written, and problem then names the file and the system's error.
    [[nodiscard]] bool save(QString *problem = nullptr) const;

private:
    QString m_path;
    QMap<QString, QString> m_values;
};

// The stored language, or the default when none (or an unknown one) is stored.
Language storedLanguage();

} // namespace kaz
