#pragma once

#include "platform/ThreadPriority.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>

class QAction;
class QWidget;

namespace kaz {

// The frame around every long operation: the run flag, the thread priority
// of the Priority menu, and the lock of the controls that must not be used
// meanwhile. Frames nest (a preview followed by the real run); only the
// outermost one locks and unlocks.
class RunFrame : public QObject
{
    Q_OBJECT
public:
    explicit RunFrame(QObject *parent = nullptr);

    void addLocked(QWidget *widget);
    void addLocked(QAction *action);

    bool running() const { return m_depth > 0; }
    ThreadPriority priority() const { return m_priority; }
    // Applied at once while a run is active, otherwise at the next run.
    void setPriority(ThreadPriority priority);

    // refill: the file list is read again at the end. A frame that only
    // looked (a preview the user cancelled) leaves the list and its
    // selection as they were; any nested frame asking for a re-fill wins.
    void begin(bool refill = true);
    void end();

Q_SIGNALS:
    // After the outermost end: the controls are unlocked; the window re-fills
    // when asked to.
    void finished(bool refill);

private:
    int m_depth = 0;
    bool m_refill = true;
    ThreadPriority m_priority = ThreadPriority::Normal;
    QList<QPointer<QWidget>> m_widgets;
    QList<QPointer<QAction>> m_actions;
    QHash<QObject *, bool> m_wasEnabled;
};

// Begins a run frame and ends it when leaving the scope.
class RunGuard
{
public:
    explicit RunGuard(RunFrame &frame, bool refill = true)
        : m_frame(frame)
    {
        m_frame.begin(refill);
    }
    ~RunGuard() { m_frame.end(); }
    RunGuard(const RunGuard &) = delete;
    RunGuard &operator=(const RunGuard &) = delete;

private:
    RunFrame &m_frame;
};

} // namespace kaz
