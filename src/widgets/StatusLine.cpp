#include "StatusLine.h"

#include <QMouseEvent>

namespace kaz {

StatusLine::StatusLine(const QString &objectName, QWidget *parent)
    : QLabel(parent)
{
    setObjectName(objectName);
    setFrameStyle(QFrame::Panel | QFrame::Sunken);
    setTextFormat(Qt::PlainText);
    // Long composed names must not widen the window.
    setMinimumWidth(10);
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
}

void StatusLine::rotateLeft()
{
    const QString t = text();
    if (t.size() > 1)
        setText(t.mid(1) + t.at(0));
}

void StatusLine::rotateRight()
{
    const QString t = text();
    if (t.size() > 1)
        setText(t.back() + t.left(t.size() - 1));
}

void StatusLine::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && m_scrollable) {
        m_pressed = true;
        m_lastX = int(event->position().x());
    }
    QLabel::mousePressEvent(event);
}

void StatusLine::mouseMoveEvent(QMouseEvent *event)
{
    const int x = int(event->position().x());
    const int y = int(event->position().y());
    if (m_pressed && m_scrollable && y >= 1 && y <= height()) {
        if (x < m_lastX)
            rotateLeft();
        else if (x > m_lastX)
            rotateRight();
    }
    m_lastX = x;
    QLabel::mouseMoveEvent(event);
}

void StatusLine::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        m_pressed = false;
    QLabel::mouseReleaseEvent(event);
}

void StatusLine::mouseDoubleClickEvent(QMouseEvent *event)
{
    Q_EMIT resetRequested();
    QLabel::mouseDoubleClickEvent(event);
}

} // namespace kaz
