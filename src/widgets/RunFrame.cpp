#include "RunFrame.h"

#include <QAction>
#include <QWidget>

namespace kaz {

RunFrame::RunFrame(QObject *parent)
    : QObject(parent)
{
}

void RunFrame::addLocked(QWidget *widget)
{
    m_widgets.append(widget);
}

void RunFrame::addLocked(QAction *action)
{
    m_actions.append(action);
}

void RunFrame::setPriority(ThreadPriority priority)
{
    m_priority = priority;
    if (running())
        applyThreadPriority(priority);
}

void RunFrame::begin(bool refill)
{
    if (m_depth++ > 0) {
        m_refill = m_refill || refill;
        return;
    }
    m_refill = refill;
    applyThreadPriority(m_priority);
    // The states from before the run come back at its end; what depends on
    // the file list is derived again by the re-fill that follows.
    m_wasEnabled.clear();
    for (const auto &w : std::as_const(m_widgets))
        if (w) {
            // A control inside a disabled parent counts by its own state.
            m_wasEnabled.insert(w.data(), !w->testAttribute(Qt::WA_ForceDisabled));
            w->setEnabled(false);
        }
    for (const auto &a : std::as_const(m_actions))
        if (a) {
            // A hidden action reports itself disabled; what counts is that
            // it works once it is shown (a favourite filled in later).
            m_wasEnabled.insert(a.data(), a->isEnabled() || !a->isVisible());
            a->setEnabled(false);
        }
}

void RunFrame::end()
{
    if (m_depth == 0 || --m_depth > 0)
        return;
    for (const auto &w : std::as_const(m_widgets))
        if (w)
            w->setEnabled(m_wasEnabled.value(w.data(), true));
    for (const auto &a : std::as_const(m_actions))
        if (a)
            a->setEnabled(m_wasEnabled.value(a.data(), true));
    m_wasEnabled.clear();
    Q_EMIT finished(m_refill);
    applyThreadPriority(ThreadPriority::Normal);
}

} // namespace kaz
