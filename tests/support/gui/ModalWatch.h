#pragma once

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

namespace kaz::test {

namespace detail {

inline void watchModal(const QString &name, const std::function<bool(QWidget *)> &act, QDeadlineTimer deadline,
                       int limitMs, const ::testing::TestInfo *test)
{
    QTimer::singleShot(0, [name, act, deadline, limitMs, test] {
        // The test that waited is over (and failed on what the dialog did
        // not do): its watch ends with it.
        if (::testing::UnitTest::GetInstance()->current_test_info() != test)
            return;
        QWidget *dialog = QApplication::activeModalWidget();
        if (dialog && (name.isEmpty() || dialog->objectName() == name)) {
            if (act(dialog))
                watchModal(name, act, QDeadlineTimer(limitMs), limitMs, test);
            return;
        }
        if (!deadline.hasExpired()) {
            watchModal(name, act, deadline, limitMs, test);
            return;
        }
        ADD_FAILURE() << "no dialog " << qPrintable(name.isEmpty() ? QStringLiteral("at all") : name)
                      << " opened within " << limitMs << " ms"
                      << (dialog ? qPrintable(QStringLiteral("; closing \"%1\" (%2) that is open instead")
                                                  .arg(dialog->windowTitle(), dialog->objectName()))
                                 : "");
        if (auto *other = qobject_cast<QDialog *>(dialog))
            other->reject();
        else if (dialog)
            dialog->close();
    });
}

} // namespace detail

// Acts on modal dialogs as they open: act is called with each one whose
// objectName is name (any dialog when name is empty) and returns whether to
// wait for the next. When none opens within the limit the test fails with a
// message, and a modal dialog of another name that is in the way is closed,
// so that a missing dialog never hangs the test program.
inline void onEachModal(const QString &name, std::function<bool(QWidget *)> act, int limitMs = 10000)
{
    detail::watchModal(name, act, QDeadlineTimer(limitMs), limitMs,
                       ::testing::UnitTest::GetInstance()->current_test_info());
}

// Acts on the next modal dialog (of the name, when one is given) once.
inline void whenModalOpens(const QString &name, std::function<void(QWidget *)> act, int limitMs = 10000)
{
    onEachModal(
        name,
        [act](QWidget *dialog) {
            act(dialog);
            return false;
        },
        limitMs);
}

} // namespace kaz::test
