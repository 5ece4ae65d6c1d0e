#pragma once

#include <QWidget>

class QToolButton;

namespace kaz {

// A vertical up-down control ("UpDown1"): two small arrow buttons.
class UpDown : public QWidget
{
    Q_OBJECT
public:
    explicit UpDown(const QString &objectName, QWidget *parent = nullptr);

    QToolButton *upButton() const { return m_up; }
    QToolButton *downButton() const { return m_down; }

Q_SIGNALS:
    void up();
    void down();

private:
    QToolButton *m_up;
    QToolButton *m_down;
};

} // namespace kaz
