// What the main window keeps in the configuration file.
#include "MainWindow.h"

#include <QAction>

namespace kaz {

void MainWindow::loadSettings(const KazSettings &settings, bool applySelection)
{
    setHints(settings.showHints);
    m_fontSize = settings.fontSize;
    applyFont();
    if (auto *a = findChild<QAction *>(QStringLiteral("Startwithlastsavedposition1")))
        a->setChecked(settings.startWithLastPosition);
    setUseId3v2(settings.useId3v2);
    for (NotebookPage *page : std::as_const(m_pageList))
        page->loadSettings(settings, applySelection);
}

void MainWindow::storeSettings(KazSettings &settings) const
{
    settings.windowWidth = m_lastNormalSize.width();
    settings.windowHeight = m_lastNormalSize.height();
    settings.windowLeft = pos().x();
    settings.windowTop = pos().y();
    if (auto *a = findChild<QAction *>(QStringLiteral("Startwithlastsavedposition1")))
        settings.startWithLastPosition = a->isChecked();
    if (auto *a = findChild<QAction *>(QStringLiteral("Showhints1")))
        settings.showHints = a->isChecked();
    settings.page = qMax(0, currentPage());
    // While deactivated the window shows no folder; the last one counts.
    settings.lastDir = m_activated ? browserState().folder : browserState().lastFolder;
    settings.fontSize = m_fontSize;
    settings.tagFilter = int(browserState().filter);
    settings.sortIgnoringNonLetters = browserState().letterSorted;
    settings.useId3v2 = m_useId3v2;
    for (NotebookPage *page : m_pageList)
        page->storeSettings(settings);
}

} // namespace kaz
