#pragma once

#include "platform/Language.h"

#include <QList>
#include <QObject>

#include <functional>

class QHBoxLayout;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QWidget;

namespace kaz {

class NotebookPage;
class RunFrame;

// The notebook of the main window: the tab row between "Help" and "E&xit",
// the stack of pages below it, and the pages themselves, which it tells
// what concerns them all.
class Notebook : public QObject
{
    Q_OBJECT
public:
    explicit Notebook(QWidget &window);

    QHBoxLayout *tabRow() const { return m_tabRow; }
    QStackedWidget *stack() const { return m_pages; }
    void registerLocks(RunFrame &frame);
    QPushButton *exitButton() const { return m_exitButton; }

    void addPage(NotebookPage *page, Language language);
    int count() const { return int(m_pageList.size()); }
    int currentPage() const;
    // False for a page that does not exist.
    bool showPage(int index);
    // Whether a tab was clicked since the last call.
    bool takeTabClicked();
    void applyLanguage(Language language);
    // Tells every page.
    void forEachPage(const std::function<void(NotebookPage &)> &tell) const;

Q_SIGNALS:
    // The "Help" button, with the help context of the page shown.
    void helpRequested(int context);
    void exitRequested();
    // A click on a tab (also on the tab shown).
    void tabClicked(int index);

private:
    QPushButton *m_helpButton = nullptr;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_pages = nullptr;
    QPushButton *m_exitButton = nullptr;
    QHBoxLayout *m_tabRow = nullptr;
    QList<NotebookPage *> m_pageList;
    bool m_tabClicked = false;
};

} // namespace kaz
