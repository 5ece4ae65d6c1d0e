#pragma once

#include <QList>
#include <QString>

#include <string>

namespace kaz {

// One entry of a replace script. Texts are held as code points so that a
// position always means one character, also beyond the BMP.
struct CleanupRule {
    enum Kind { String, Insertion, Range };
    Kind kind = String;
    std::u32string search;      // String rules
    std::u32string replacement; // all kinds
    qint64 start = 1;           // Insertion: before this position; Range: first position
    qint64 end = 1;             // Range: last position (start <= end)

    bool operator==(const CleanupRule &) const = default;
};

// The script text with the characters it may not hold removed (* / \ < > |)
// and a closing ":" when it has text but no closing one.
QString normalizedScript(const QString &script);

// The rules of a script, in the order they are applied. Entries without a
// search part are left out.
QList<CleanupRule> parseCleanupScript(const QString &script);

} // namespace kaz
