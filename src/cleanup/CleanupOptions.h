#pragma once

namespace kaz {

struct KazSettings;

// The "replacement options" of page "1" (KAZ.INI lines 17 to 23).
struct CleanupOptions {
    bool capitalizeFirst = true;
    bool fromPosition = false;
    int fromPositionNumber = 1; // 1..999
    bool afterFirstWords = false;
    int afterFirstWordsNumber = 1; // 1..99
    bool beforeLastWords = false;
    int beforeLastWordsNumber = 1; // 1..99

    bool operator==(const CleanupOptions &) const = default;
};

CleanupOptions cleanupOptionsFrom(const KazSettings &settings);
void storeCleanupOptions(const CleanupOptions &options, KazSettings &settings);

} // namespace kaz
