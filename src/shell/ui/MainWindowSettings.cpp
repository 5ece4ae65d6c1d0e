// What the main window keeps in the configuration file.
#include "MainWindow.h"

#include "MainMenus.h"
#include "Notebook.h"
#include "WindowScale.h"

namespace kaz {

void MainWindow::loadSettings(const KazSettings &settings, bool applySelection)
{
    m_menus->setHints(settings.showHints);
    m_scale->setFontSize(settings.fontSize);
    m_menus->setStartWithLastPosition(settings.startWithLastPosition);
    setUseId3v2(settings.useId3v2);
    setId3v2Write(settings.id3v2Write);
    m_notebook->forEachPage([&](NotebookPage &page) { page.loadSettings(settings, applySelection); });
}

void MainWindow::storeSettings(KazSettings &settings) const
{
    settings.windowWidth = m_lastNormalSize.width();
    settings.windowHeight = m_lastNormalSize.height();
    settings.windowLeft = pos().x();
    settings.windowTop = pos().y();
    settings.startWithLastPosition = m_menus->startWithLastPosition();
    settings.showHints = m_menus->hintsShown();
    settings.page = qMax(0, currentPage());
    // While deactivated the window shows no folder; the last one counts.
    settings.lastDir = m_activated ? browserState().folder : browserState().lastFolder;
    settings.fontSize = m_scale->fontSize();
    settings.tagFilter = int(browserState().filter);
    settings.sortIgnoringNonLetters = browserState().letterSorted;
    settings.useId3v2 = m_useId3v2;
    settings.id3v2Write = m_id3v2Write;
    m_notebook->forEachPage([&](NotebookPage &page) { page.storeSettings(settings); });
}

} // namespace kaz
