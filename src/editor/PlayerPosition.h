#pragma once

#include <QString>

namespace kaz {

// The editor's position bar over the playing song (lengths in seconds,
// positions in milliseconds, as the player reports them).
int barPosition(qint64 positionMs, qint64 lengthSeconds, int barMaximum);
// Where a moved bar asks the player to jump; never 0, which some players
// take as "no position".
qint64 jumpTarget(int bar, qint64 lengthSeconds, int barMaximum);
// "m:ss/m:ss": the target and the length.
QString playerTimeText(qint64 positionMs, qint64 lengthSeconds);

} // namespace kaz
