#include "LiveView.h"

#include <QFontDatabase>
#include <QMouseEvent>

namespace kaz {

LiveView::LiveView(QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(QStringLiteral("view1"));
    setReadOnly(true);
    setFrame(false);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setBold(true);
    setFont(font);
    // The ruler above counts in the same font, so the hint and caret go with it.
    setContextMenuPolicy(Qt::NoContextMenu);
    setDragEnabled(false);
}

int LiveView::characterWidth() const
{
    return qMax(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
}

int LiveView::boundaryX(int index) const
{
    // cursorRect() starts 5 pixels left of the caret: one known boundary, and the
    // font's fixed pitch gives all others.
    return cursorRect().x() + 5 + (index - cursorPosition()) * characterWidth();
}

int LiveView::characterAt(int x) const
{
    const int index = (x - boundaryX(0)) / characterWidth();
    return qBound(0, x < boundaryX(0) ? 0 : index, int(text().size()));
}

void LiveView::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::RightButton) {
        Q_EMIT rightPressed(event->position().toPoint());
        event->accept();
        return;
    }
    QLineEdit::mousePressEvent(event);
    Q_EMIT selectionMoved();
}

void LiveView::mouseMoveEvent(QMouseEvent *event)
{
    QLineEdit::mouseMoveEvent(event);
    Q_EMIT selectionMoved();
}

void LiveView::mouseReleaseEvent(QMouseEvent *event)
{
    QLineEdit::mouseReleaseEvent(event);
    Q_EMIT selectionMoved();
}

} // namespace kaz
