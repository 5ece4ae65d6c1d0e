#include "MainMenus.h"

#include "HelpCommands.h"
#include "MainWindow.h"
#include "WindowScale.h"

#include "browser/ui/FolderBrowser.h"
#include "platform/ThreadPriority.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QMenu>
#include <QMenuBar>

namespace kaz {
namespace {

// Swallows tool tips while "Show hints" is off.
class ToolTipBlocker : public QObject
{
public:
    using QObject::QObject;
    bool enabled = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (enabled && event->type() == QEvent::ToolTip)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

MainMenus::MainMenus(MainWindow &window, FolderBrowser &browser, WindowScale &scale, HelpCommands &help)
    : QObject(&window)
    , m_window(window)
{
    buildPropertiesMenu(scale);
    buildLanguageMenu();
    buildPriorityMenu();
    buildHelpMenu(help);
    buildBarActions();
    buildMaskPopup();
    buildFilePopup();
    buildFolderPopup(browser);
}

QAction *MainMenus::action(QMenu *menu, const char *name)
{
    auto *a = new QAction(&m_window);
    a->setObjectName(QLatin1String(name));
    if (menu)
        menu->addAction(a);
    return a;
}

QMenu *MainMenus::newMenu(const char *name)
{
    auto *m = new QMenu(&m_window);
    m->setObjectName(QLatin1String(name));
    return m;
}

QMenu *MainMenus::menu(HostMenu which) const
{
    switch (which) {
    case HostMenu::Properties:
        return m_propertiesMenu;
    case HostMenu::FileList:
        return m_filePopup;
    case HostMenu::FolderList:
        return m_folderPopup;
    }
    return nullptr;
}

void MainMenus::buildPropertiesMenu(WindowScale &scale)
{
    m_propertiesMenu = newMenu("prperties1");
    QMenu *sizeMenu = newMenu("selectfont1");
    m_propertiesMenu->addMenu(sizeMenu);
    QAction *increase = action(sizeMenu, "increase1");
    increase->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    connect(increase, &QAction::triggered, &scale, &WindowScale::enlarge);
    QAction *standard = action(sizeMenu, "decrease1");
    standard->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    connect(standard, &QAction::triggered, &scale, &WindowScale::standardSize);
    m_propertiesMenu->addSeparator();
    action(m_propertiesMenu, "Definecharactersdelimiter1");
    m_lastPosition = action(m_propertiesMenu, "Startwithlastsavedposition1");
    m_lastPosition->setCheckable(true);
    m_lastPosition->setChecked(true);
    m_hints = action(m_propertiesMenu, "Showhints1");
    m_hints->setCheckable(true);
    connect(m_hints, &QAction::toggled, this, &MainMenus::setHints);
    m_propertiesMenu->addSeparator();
    // Alt+X is the Exit button's own key; the item only names it.
    connect(action(m_propertiesMenu, "Exit1"), &QAction::triggered, &m_window, &MainWindow::exitClicked);
    m_window.menuBar()->addMenu(m_propertiesMenu);
}

void MainMenus::buildLanguageMenu()
{
    m_languageMenu = newMenu("Language1");
    auto *group = new QActionGroup(this);
    const std::pair<const char *, Language> languages[] = {{"English1", Language::English},
                                                           {"German1", Language::German}};
    for (const auto &[name, language] : languages) {
        QAction *a = action(m_languageMenu, name);
        a->setCheckable(true);
        group->addAction(a);
        connect(a, &QAction::triggered, &m_window, [this, l = language] { m_window.setLanguage(l); });
    }
    m_window.menuBar()->addMenu(m_languageMenu);
}

void MainMenus::buildPriorityMenu()
{
    m_priorityMenu = newMenu("Priority1");
    auto *group = new QActionGroup(this);
    const std::pair<const char *, ThreadPriority> priorities[] = {{"normal1", ThreadPriority::Normal},
                                                                  {"idle1", ThreadPriority::Idle},
                                                                  {"low1", ThreadPriority::Low},
                                                                  {"high1", ThreadPriority::High}};
    for (const auto &[name, priority] : priorities) {
        QAction *a = action(m_priorityMenu, name);
        a->setCheckable(true);
        a->setChecked(priority == ThreadPriority::Normal);
        group->addAction(a);
        connect(a, &QAction::triggered, &m_window, [this, p = priority] { m_window.runFrame().setPriority(p); });
    }
    m_window.menuBar()->addMenu(m_priorityMenu);
}

void MainMenus::buildHelpMenu(HelpCommands &help)
{
    QMenu *helpMenu = newMenu("help1");
    QAction *contents = action(helpMenu, "Contents1");
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    connect(contents, &QAction::triggered, &help, [&help] { help.openHelp(0); });
    connect(action(helpMenu, "Shortcutstips2"), &QAction::triggered, &help, &HelpCommands::showShortcuts);
    connect(action(helpMenu, "Homepage1"), &QAction::triggered, &help, &HelpCommands::openHomepage);
    connect(action(helpMenu, "about2"), &QAction::triggered, &help, &HelpCommands::showAbout);
    m_window.menuBar()->addMenu(helpMenu);
}

// Select all, invert selection and refresh stand in the menu bar itself.
void MainMenus::buildBarActions()
{
    QAction *selectAllItem = action(nullptr, "selectall2");
    selectAllItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(selectAllItem, &QAction::triggered, &m_window, &MainWindow::selectAll);
    QAction *invertItem = action(nullptr, "invertselection2");
    invertItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(invertItem, &QAction::triggered, &m_window, &MainWindow::invertSelection);
    QAction *refresh = action(nullptr, "refresh1");
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    connect(refresh, &QAction::triggered, &m_window, [this] { m_window.files().refillFileList(); });
    for (QAction *a : {selectAllItem, invertItem, refresh}) {
        m_window.menuBar()->addAction(a);
        m_window.runFrame().addLocked(a);
    }
}

// Mask and filter, on both buttons and inside the file pop-up.
void MainMenus::buildMaskPopup()
{
    m_maskPopup = newMenu("PopupMenu3");
    const std::pair<const char *, MaskState> masks[] = {
        {"Mp3Mask1", MaskState::Mp3}, {"InvMask1", MaskState::NotMp3}, {"AllMask1", MaskState::All}};
    for (const auto &[name, state] : masks)
        connect(action(m_maskPopup, name), &QAction::triggered, &m_window,
                [this, s = state] { m_window.setMaskState(s); });
    m_maskPopup->addSeparator();
    const std::pair<const char *, TagFilter> filters[] = {
        {"FilterAll1", TagFilter::All}, {"FilterTagged1", TagFilter::Tagged}, {"FilterUntagged1", TagFilter::Untagged}};
    for (const auto &[name, filter] : filters) {
        m_filters << action(m_maskPopup, name);
        connect(m_filters.last(), &QAction::triggered, &m_window, [this, f = filter] { m_window.setTagFilter(f); });
    }
}

void MainMenus::buildFilePopup()
{
    m_filePopup = newMenu("PopupMenu1");
    QAction *invert = action(m_filePopup, "invertselection1");
    invert->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(invert, &QAction::triggered, &m_window, &MainWindow::invertSelection);
    QAction *all = action(m_filePopup, "selectall1");
    all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(all, &QAction::triggered, &m_window, &MainWindow::selectAll);
    connect(action(m_filePopup, "deselectall1"), &QAction::triggered, &m_window, &MainWindow::deselectAll);
    QMenu *maskSubmenu = newMenu("EditMask1");
    maskSubmenu->addActions(m_maskPopup->actions());
    m_filePopup->addMenu(maskSubmenu);
}

void MainMenus::buildFolderPopup(FolderBrowser &browser)
{
    m_folderPopup = newMenu("PopupMenu2");
    m_renameFolder = action(m_folderPopup, "rename1");
    connect(m_renameFolder, &QAction::triggered, &browser, [&browser] { browser.startFolderEdit(false); });
    connect(action(m_folderPopup, "makedirectory1"), &QAction::triggered, &browser,
            [&browser] { browser.startFolderEdit(true); });
    connect(action(m_folderPopup, "delete1"), &QAction::triggered, &browser, &FolderBrowser::deleteFolder);
    m_folderPopup->addSeparator();
    connect(action(m_folderPopup, "startexploreroncurrentdirectory1"), &QAction::triggered, &browser,
            &FolderBrowser::startExplorer);
}

void MainMenus::popupFileMenu(const QPoint &globalPos)
{
    m_filePopup->popup(globalPos);
}

void MainMenus::popupMaskMenu(const QPoint &globalPos)
{
    m_maskPopup->popup(globalPos);
}

void MainMenus::popupFolderMenu(const QPoint &globalPos, bool renameAllowed)
{
    m_renameFolder->setEnabled(renameAllowed);
    m_folderPopup->popup(globalPos);
}

void MainMenus::setHints(bool on)
{
    static ToolTipBlocker *blocker = nullptr;
    if (!blocker) {
        blocker = new ToolTipBlocker(qApp);
        qApp->installEventFilter(blocker);
    }
    blocker->enabled = !on;
    if (m_hints->isChecked() != on)
        m_hints->setChecked(on);
}

bool MainMenus::hintsShown() const
{
    return m_hints->isChecked();
}

bool MainMenus::startWithLastPosition() const
{
    return m_lastPosition->isChecked();
}

void MainMenus::setStartWithLastPosition(bool on)
{
    m_lastPosition->setChecked(on);
}

void MainMenus::setFilterEnabled(bool enabled)
{
    for (QAction *a : std::as_const(m_filters))
        a->setEnabled(enabled);
}

void MainMenus::setSettingsMenusEnabled(bool enabled)
{
    for (QMenu *menu : {m_languageMenu, m_propertiesMenu, m_priorityMenu})
        menu->menuAction()->setEnabled(enabled);
}

void MainMenus::registerLocks(RunFrame &frame)
{
    for (QMenu *menu : {m_propertiesMenu, m_languageMenu})
        frame.addLocked(menu->menuAction());
}

} // namespace kaz
