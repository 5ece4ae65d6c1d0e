#include "PlayerPosition.h"

#include <QtGlobal>

namespace kaz {
namespace {

qint64 usableLength(qint64 lengthSeconds)
{
    return lengthSeconds > 0 ? lengthSeconds : 1;
}

QString minutes(qint64 seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

int barPosition(qint64 positionMs, qint64 lengthSeconds, int barMaximum)
{
    const qint64 bar = qMax<qint64>(0, positionMs / 1000) * barMaximum / usableLength(lengthSeconds);
    return int(qBound(qint64(0), bar, qint64(barMaximum)));
}

qint64 jumpTarget(int bar, qint64 lengthSeconds, int barMaximum)
{
    if (bar <= 0 || barMaximum <= 0)
        return 1;
    return qint64(bar) * 1000 * usableLength(lengthSeconds) / barMaximum;
}

QString playerTimeText(qint64 positionMs, qint64 lengthSeconds)
{
    return minutes(qMax<qint64>(0, positionMs) / 1000) + QLatin1Char('/') + minutes(qMax<qint64>(0, lengthSeconds));
}

} // namespace kaz
