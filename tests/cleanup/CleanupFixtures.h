#pragma once

#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QStringList>

namespace kaz::test {

// A file at dir/name whose content names it, so that hashes tell files apart.
inline QString putFile(const QString &dir, const QString &name)
{
    QDir().mkpath(dir);
    const QString path = dir + QLatin1Char('/') + name;
    writeAll(path, "content of " + name.toUtf8());
    return path;
}

inline QStringList namesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

} // namespace kaz::test
