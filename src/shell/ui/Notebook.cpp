#include "Notebook.h"

#include "widgets/NotebookPage.h"
#include "widgets/RunFrame.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabBar>

#include <utility>

namespace kaz {

Notebook::Notebook(QWidget &window)
    : QObject(&window)
{
    m_helpButton = new QPushButton(&window);
    m_helpButton->setObjectName(QStringLiteral("HelpButton"));
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        const int page = currentPage();
        Q_EMIT helpRequested(page >= 0 && page < m_pageList.size() ? m_pageList.at(page)->helpContext() : 0);
    });
    m_tabs = new QTabBar(&window);
    m_tabs->setObjectName(QStringLiteral("TabSet1"));
    m_tabs->setExpanding(false);
    m_tabs->setDrawBase(false);
    // Three German captions must fit between "Help" and "Exit" at the minimum width.
    m_tabs->setStyleSheet(QStringLiteral(
        "QTabBar::tab { padding: 3px 6px; margin-right: 1px; border: 1px solid palette(mid);"
        " border-bottom: none; border-top-left-radius: 3px; border-top-right-radius: 3px;"
        " background: palette(button); }"
        "QTabBar::tab:selected { background: palette(base); }"
        "QTabBar::tab:!selected { margin-top: 2px; }"));
    m_tabs->setElideMode(Qt::ElideNone);
    connect(m_tabs, &QTabBar::tabBarClicked, this, [this](int index) {
        m_tabClicked = true;
        Q_EMIT tabClicked(index);
    });
    connect(m_tabs, &QTabBar::currentChanged, this, [this](int index) {
        if (index >= 0)
            m_pages->setCurrentIndex(index);
    });
    m_pages = new QStackedWidget(&window);
    m_pages->setObjectName(QStringLiteral("Notebook1"));
    m_exitButton = new QPushButton(&window);
    m_exitButton->setObjectName(QStringLiteral("Button1"));
    connect(m_exitButton, &QPushButton::clicked, this, &Notebook::exitRequested);

    m_tabRow = new QHBoxLayout;
    m_tabRow->setSpacing(4);
    m_helpButton->setMaximumWidth(64);
    m_exitButton->setMaximumWidth(64);
    m_tabRow->addWidget(m_helpButton);
    m_tabRow->addWidget(m_tabs, 1);
    m_tabRow->addWidget(m_exitButton);
}

void Notebook::registerLocks(RunFrame &frame)
{
    frame.addLocked(m_exitButton);
    frame.addLocked(m_tabs);
}

void Notebook::addPage(NotebookPage *page, Language language)
{
    m_pageList.append(page);
    m_pages->addWidget(page);
    m_tabs->addTab(page->tabCaption(language));
    page->applyLanguage(language);
}

int Notebook::currentPage() const
{
    return m_pages->currentIndex();
}

bool Notebook::showPage(int index)
{
    if (index < 0 || index >= m_pageList.size())
        return false;
    m_tabs->setCurrentIndex(index);
    m_pages->setCurrentIndex(index);
    return true;
}

bool Notebook::takeTabClicked()
{
    return std::exchange(m_tabClicked, false);
}

void Notebook::applyLanguage(Language language)
{
    for (int i = 0; i < m_pageList.size(); ++i) {
        m_tabs->setTabText(i, m_pageList.at(i)->tabCaption(language));
        m_pageList.at(i)->applyLanguage(language);
    }
}

void Notebook::forEachPage(const std::function<void(NotebookPage &)> &tell) const
{
    for (NotebookPage *page : m_pageList)
        tell(*page);
}

} // namespace kaz
