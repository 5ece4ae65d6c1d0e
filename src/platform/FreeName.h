#pragma once

#include <QString>

#include <functional>

namespace kaz {

// A taken name gets a number before its extension: "Song (2).mp3". The
// numbers stop at this limit; a name taken that many times is reported as
// taken instead of being counted on for ever.
inline constexpr int kMaxNameNumber = 1000000;

// " (k)", the part a number adds to a name before its extension.
QString nameNumber(int k);

// name with " (k)" before its extension (the last dot of its last part, not
// a leading one); k 0 gives name itself. name may be a whole path.
QString numberedName(const QString &name, int k);

// name when isTaken(name) is false, else the first numberedName(name, k) for
// k = first, first + 1, ... up to kMaxNameNumber that is not taken; empty
// when all are.
QString freeName(const QString &name, int first, const std::function<bool(const QString &)> &isTaken);

} // namespace kaz
