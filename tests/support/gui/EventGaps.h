#pragma once

#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

namespace kaz::test {

// For the benches: the longest time the window's thread handled no event
// while the watch ran, seen by a timer that asks to run every millisecond.
class EventGaps
{
public:
    EventGaps()
    {
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_longest = qMax(m_longest, m_clock.restart());
        });
    }
    void start()
    {
        m_longest = 0;
        m_clock.start();
        m_timer.start();
    }
    // The longest gap in ms, the last one (up to now) included.
    qint64 stop()
    {
        m_timer.stop();
        m_longest = qMax(m_longest, m_clock.elapsed());
        return m_longest;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_longest = 0;
};

// The process's peak memory (resident set) in MiB, 0 where unknown.
inline qint64 peakMemoryMiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
    return 0;
}

} // namespace kaz::test
