#pragma once

#include <QObject>

class QAction;
class QMenuBar;

namespace kaz {

// The menu bar wraps onto a second row: the items that do not fit into the
// window's own menu bar at its width go, in their order, into a second bar
// right below it, which is hidden while everything fits. Both bars stay
// ordinary menu bars (mnemonics, keyboard navigation); the window's own bar
// keeps the items that code adds to it, and the rows are laid out again when
// an item is added, shown, hidden or renamed, and when the width changes.
class MenuBarRows : public QObject
{
    Q_OBJECT
public:
    MenuBarRows(QMenuBar *first, QMenuBar *second, QObject *parent = nullptr);

    // Spreads the items over the two rows for a window of this width.
    void arrange(int width);
    // The width one row needs for these items.
    int widthFor(const QList<QAction *> &actions) const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    int itemWidth(QAction *action) const;

    QMenuBar *m_first;
    QMenuBar *m_second;
    int m_width = 0;
    bool m_arranging = false;
};

} // namespace kaz
