// Feeds arbitrary KAZ.INI contents to the loader, the exit writer and the
// line patcher: no file may crash them. The first write repairs a damaged
// file; from then on a write must load again to the same settings.
#include "config/ConfigFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("KAZ.INI"));
    {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
            return 0;
        f.write(reinterpret_cast<const char *>(data), qsizetype(size));
    }
    const kaz::IniContext context;
    const kaz::KazSettings loaded = kaz::loadIni(path, context);
    if (size % 3 == 0)
        kaz::setIniValue(path, QStringLiteral("Delimiter"), QStringLiteral("_"));
    kaz::writeIniOnExit(path, loaded);
    const kaz::KazSettings repaired = kaz::loadIni(path, context);
    kaz::writeIniOnExit(path, repaired);
    if (!(kaz::loadIni(path, context) == repaired))
        __builtin_trap();
    return 0;
}
