#pragma once

#include <QProgressBar>
#include <QTimer>

namespace kaz::test {

// Samples a progress bar from a timer while a long operation runs on the
// same thread: timer ticks prove that events were processed, the highest
// value that the bar moved.
class ProgressProbe
{
public:
    ProgressProbe(const QProgressBar *bar, int intervalMs)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this, bar] {
            ++m_ticks;
            m_highest = qMax(m_highest, bar->value());
        });
        m_timer.start(intervalMs);
    }

    void stop() { m_timer.stop(); }
    int ticks() const { return m_ticks; }
    int highest() const { return m_highest; }

private:
    QTimer m_timer;
    int m_ticks = 0;
    int m_highest = 0;
};

} // namespace kaz::test
