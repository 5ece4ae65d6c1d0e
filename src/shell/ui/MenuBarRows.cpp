#include "MenuBarRows.h"

#include <QAction>
#include <QActionEvent>
#include <QMenuBar>
#include <QStyle>
#include <QStyleOptionMenuItem>
#include <QTimer>

namespace kaz {

MenuBarRows::MenuBarRows(QMenuBar *first, QMenuBar *second, QObject *parent)
    : QObject(parent)
    , m_first(first)
    , m_second(second)
{
    m_second->hide();
    m_first->installEventFilter(this);
    m_second->installEventFilter(this);
}

// As the menu bar measures its items.
int MenuBarRows::itemWidth(QAction *action) const
{
    if (!action->isVisible())
        return 0;
    QStyleOptionMenuItem option;
    option.initFrom(m_first);
    option.menuItemType = action->isSeparator() ? QStyleOptionMenuItem::Separator : QStyleOptionMenuItem::Normal;
    option.checkType = QStyleOptionMenuItem::NotCheckable;
    option.text = action->text();
    option.font = action->font();
    const QSize text = QFontMetrics(action->font()).size(Qt::TextShowMnemonic, action->text());
    const QSize item = m_first->style()->sizeFromContents(QStyle::CT_MenuBarItem, &option, text, m_first);
    return item.width() + m_first->style()->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, m_first);
}

int MenuBarRows::widthFor(const QList<QAction *> &actions) const
{
    const QStyle *style = m_first->style();
    int width = 2 * (style->pixelMetric(QStyle::PM_MenuBarPanelWidth, nullptr, m_first)
                     + style->pixelMetric(QStyle::PM_MenuBarHMargin, nullptr, m_first))
        + style->pixelMetric(QStyle::PM_MenuBarItemSpacing, nullptr, m_first);
    for (QAction *a : actions)
        width += itemWidth(a);
    return width;
}

void MenuBarRows::arrange(int width)
{
    if (m_arranging || width <= 0)
        return;
    m_arranging = true;
    m_width = width;
    const QList<QAction *> all = m_first->actions() + m_second->actions();
    QList<QAction *> firstRow;
    qsizetype split = all.size();
    for (qsizetype i = 0; i < all.size(); ++i) {
        QList<QAction *> trial = firstRow;
        trial << all[i];
        if (widthFor(trial) > width) {
            split = i;
            break;
        }
        firstRow = trial;
    }
    const QList<QAction *> secondRow = all.mid(split);
    if (m_first->actions() != firstRow || m_second->actions() != secondRow) {
        for (QAction *a : all) {
            m_first->removeAction(a);
            m_second->removeAction(a);
        }
        m_first->addActions(firstRow);
        m_second->addActions(secondRow);
    }
    bool anyVisible = false;
    for (QAction *a : secondRow)
        anyVisible = anyVisible || a->isVisible();
    m_second->setVisible(anyVisible);
    m_arranging = false;
}

bool MenuBarRows::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ActionAdded:
    case QEvent::ActionChanged:
    case QEvent::ActionRemoved:
        if (!m_arranging && m_width > 0)
            QTimer::singleShot(0, this, [this] { arrange(m_width); });
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace kaz
