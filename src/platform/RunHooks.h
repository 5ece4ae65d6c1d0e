#pragma once

#include <QString>

#include <functional>

namespace kaz {

// What a long operation needs from whoever runs it: the "process pending
// events" hook, called once per file so that a window stays alive, and
// progress reports. Every member may be left empty.
struct RunHooks {
    std::function<void()> processEvents;
    // position, total; total may change while a run gathers files.
    std::function<void(qint64, qint64)> progress;

    void pump() const
    {
        if (processEvents)
            processEvents();
    }
    void report(qint64 position, qint64 total) const
    {
        if (progress)
            progress(position, total);
    }
};

} // namespace kaz
