#pragma once

#include "CleanupOptions.h"
#include "CleanupScript.h"

#include <QList>
#include <QString>

#include <string_view>
#include <vector>

namespace kaz {

// The new base name that a script and the options give a base name. empty
// says the rules would leave nothing of it (the caller then drops the last
// script entry and computes again); name is then empty too.
struct CleanupResult {
    QString name;
    bool empty = false;
};

CleanupResult computeCleanName(QStringView baseName, const QList<CleanupRule> &rules, const CleanupOptions &options);

// computeCleanName() for one name after another in the same working space:
// a run over many names allocates only the names it returns.
class CleanNameComputer
{
public:
    CleanupResult compute(QStringView baseName, const QList<CleanupRule> &rules, const CleanupOptions &options);

private:
    std::vector<char32_t> m_base;
    std::vector<char32_t> m_overlay;
    std::vector<char16_t> m_out;
};
CleanupResult computeCleanName(const QString &baseName, const QString &script, const CleanupOptions &options);

// The word limits of the options for a base name (exposed for tests):
// string rules act on matches after position afterFirst and before
// position beforeLast.
struct WordLimits {
    qint64 afterFirst = 0;
    qint64 beforeLast = 10000;
};
WordLimits wordLimits(std::u32string_view name, const CleanupOptions &options);

// What a name comes to when the script has to shrink: the last entry is
// dropped until the name is not empty (or the script is). script is the
// script that was used in the end.
struct CleanupFallback {
    QString name; // empty only when even an empty script leaves nothing
    QString script;
    int droppedEntries = 0;
};
CleanupFallback cleanWithFallback(const QString &baseName, const QString &script, const CleanupOptions &options);

} // namespace kaz
