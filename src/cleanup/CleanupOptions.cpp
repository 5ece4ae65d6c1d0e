#include "CleanupOptions.h"

#include "config/KazSettings.h"

namespace kaz {

CleanupOptions cleanupOptionsFrom(const KazSettings &k)
{
    CleanupOptions o;
    o.capitalizeFirst = k.cleanCapitalizeFirst;
    o.fromPosition = k.cleanFromPosition;
    o.fromPositionNumber = k.cleanFromPositionNumber;
    o.afterFirstWords = k.cleanAfterFirst;
    o.afterFirstWordsNumber = k.cleanAfterFirstNumber;
    o.beforeLastWords = k.cleanBeforeLast;
    o.beforeLastWordsNumber = k.cleanBeforeLastNumber;
    return o;
}

void storeCleanupOptions(const CleanupOptions &o, KazSettings &k)
{
    k.cleanCapitalizeFirst = o.capitalizeFirst;
    k.cleanFromPosition = o.fromPosition;
    k.cleanFromPositionNumber = o.fromPositionNumber;
    k.cleanAfterFirst = o.afterFirstWords;
    k.cleanAfterFirstNumber = o.afterFirstWordsNumber;
    k.cleanBeforeLast = o.beforeLastWords;
    k.cleanBeforeLastNumber = o.beforeLastWordsNumber;
}

} // namespace kaz
