// Feeds arbitrary KAZ.INI contents to the loader, the exit writer and the
// line patcher, in memory: no file may crash them. The first write repairs a
// damaged file; from then on a write must load again to the same settings.
#include "config/ConfigFile.h"
#include "config/IniFormat.h"

#include <cstddef>
#include <cstdint>

namespace {

// What a write leaves on disk, read back.
kaz::IniDocument written(const kaz::IniDocument &doc)
{
    return kaz::IniDocument::fromBytes(doc.toBytes());
}

kaz::KazSettings load(const kaz::IniDocument &doc, const kaz::IniContext &context)
{
    return kaz::ini::parse(kaz::currentLayout(doc, context), context.language);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const kaz::IniContext context;
    // The loader converts an old file and writes it back.
    kaz::IniDocument doc = written(kaz::currentLayout(
        kaz::IniDocument::fromBytes(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size))), context));
    const kaz::KazSettings loaded = load(doc, context);
    if (size % 3 == 0) {
        kaz::setIniValue(doc, QStringLiteral("Delimiter"), QStringLiteral("_"));
        doc = written(doc);
    }
    doc = written(kaz::exitDocument(doc, loaded));
    const kaz::KazSettings repaired = load(doc, context);
    doc = written(kaz::exitDocument(doc, repaired));
    if (!(load(doc, context) == repaired))
        __builtin_trap();
    return 0;
}
