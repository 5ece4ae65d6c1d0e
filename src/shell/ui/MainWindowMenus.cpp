// The main window's menus and the commands behind them: size, fonts,
// hints, priority, help, about, shortcuts and exit.
#include "MainWindow.h"

#include "browser/ui/FolderBrowser.h"
#include "widgets/HelpWindow.h"
#include "AboutDialog.h"
#include "ShortcutsTipsDialog.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QMenuBar>
#include <QPushButton>
#include <QToolButton>
#include <QScreen>
#include <QUrl>

namespace kaz {
namespace {

const char *const kHomepage = "https://www.quillbay.example/kaz/";

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

QAction *MainWindow::action(QMenu *menu, const char *name)
{
    auto *a = new QAction(this);
    a->setObjectName(QLatin1String(name));
    if (menu)
        menu->addAction(a);
    return a;
}

QMenu *MainWindow::menu(HostMenu which)
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

QMenu *MainWindow::newMenu(const char *name)
{
    auto *m = new QMenu(this);
    m->setObjectName(QLatin1String(name));
    return m;
}

void MainWindow::buildMenus()
{
    buildPropertiesMenu();
    buildLanguageMenu();
    buildPriorityMenu();
    buildHelpMenu();
    buildBarActions();
}

void MainWindow::buildPropertiesMenu()
{
    m_propertiesMenu = newMenu("prperties1");
    m_sizeMenu = newMenu("selectfont1");
    m_propertiesMenu->addMenu(m_sizeMenu);
    QAction *increase = action(m_sizeMenu, "increase1");
    increase->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Insert));
    connect(increase, &QAction::triggered, this, &MainWindow::enlarge);
    QAction *standard = action(m_sizeMenu, "decrease1");
    standard->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Delete));
    connect(standard, &QAction::triggered, this, &MainWindow::standardSize);
    m_propertiesMenu->addSeparator();
    action(m_propertiesMenu, "Definecharactersdelimiter1");
    QAction *lastPosition = action(m_propertiesMenu, "Startwithlastsavedposition1");
    lastPosition->setCheckable(true);
    lastPosition->setChecked(true);
    QAction *hints = action(m_propertiesMenu, "Showhints1");
    hints->setCheckable(true);
    connect(hints, &QAction::toggled, this, &MainWindow::setHints);
    m_propertiesMenu->addSeparator();
    // Alt+X is the Exit button's own key; the item only names it.
    connect(action(m_propertiesMenu, "Exit1"), &QAction::triggered, this, &MainWindow::exitClicked);
    menuBar()->addMenu(m_propertiesMenu);
}

void MainWindow::buildLanguageMenu()
{
    m_languageMenu = newMenu("Language1");
    m_languageGroup = new QActionGroup(this);
    const std::pair<const char *, Language> languages[] = {{"English1", Language::English},
                                                           {"German1", Language::German}};
    for (const auto &[name, language] : languages) {
        QAction *a = action(m_languageMenu, name);
        a->setCheckable(true);
        m_languageGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, l = language] { setLanguage(l); });
    }
    menuBar()->addMenu(m_languageMenu);
}

void MainWindow::buildPriorityMenu()
{
    m_priorityMenu = newMenu("Priority1");
    m_priorityGroup = new QActionGroup(this);
    const std::pair<const char *, ThreadPriority> priorities[] = {{"normal1", ThreadPriority::Normal},
                                                                  {"idle1", ThreadPriority::Idle},
                                                                  {"low1", ThreadPriority::Low},
                                                                  {"high1", ThreadPriority::High}};
    for (const auto &[name, priority] : priorities) {
        QAction *a = action(m_priorityMenu, name);
        a->setCheckable(true);
        a->setChecked(priority == ThreadPriority::Normal);
        m_priorityGroup->addAction(a);
        connect(a, &QAction::triggered, this, [this, p = priority] { choosePriority(p); });
    }
    menuBar()->addMenu(m_priorityMenu);
}

void MainWindow::buildHelpMenu()
{
    m_helpMenu = newMenu("help1");
    QAction *contents = action(m_helpMenu, "Contents1");
    contents->setShortcut(QKeySequence(Qt::Key_F1));
    connect(contents, &QAction::triggered, this, [this] { openHelp(0); });
    connect(action(m_helpMenu, "Shortcutstips2"), &QAction::triggered, this, &MainWindow::showShortcuts);
    connect(action(m_helpMenu, "Homepage1"), &QAction::triggered, this, &MainWindow::openHomepage);
    connect(action(m_helpMenu, "about2"), &QAction::triggered, this, &MainWindow::showAbout);
    menuBar()->addMenu(m_helpMenu);
}

// Select all, invert selection and refresh stand in the menu bar itself.
void MainWindow::buildBarActions()
{
    QAction *selectAllItem = action(nullptr, "selectall2");
    selectAllItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(selectAllItem, &QAction::triggered, this, &MainWindow::selectAll);
    QAction *invertItem = action(nullptr, "invertselection2");
    invertItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(invertItem, &QAction::triggered, this, &MainWindow::invertSelection);
    QAction *refresh = action(nullptr, "refresh1");
    refresh->setShortcut(QKeySequence(Qt::Key_F5));
    connect(refresh, &QAction::triggered, this, &MainWindow::refillFileList);
    for (QAction *a : {selectAllItem, invertItem, refresh}) {
        menuBar()->addAction(a);
        m_runFrame.addLocked(a);
    }
}

void MainWindow::buildPopups()
{
    buildMaskPopup();
    buildFilePopup();
    buildFolderPopup();
}

// Mask and filter, on both buttons and inside the file pop-up.
void MainWindow::buildMaskPopup()
{
    m_maskPopup = newMenu("PopupMenu3");
    const std::pair<const char *, MaskState> masks[] = {
        {"Mp3Mask1", MaskState::Mp3}, {"InvMask1", MaskState::NotMp3}, {"AllMask1", MaskState::All}};
    for (const auto &[name, state] : masks)
        connect(action(m_maskPopup, name), &QAction::triggered, this, [this, s = state] { setMaskState(s); });
    m_maskPopup->addSeparator();
    const std::pair<const char *, TagFilter> filters[] = {
        {"FilterAll1", TagFilter::All}, {"FilterTagged1", TagFilter::Tagged}, {"FilterUntagged1", TagFilter::Untagged}};
    for (const auto &[name, filter] : filters)
        connect(action(m_maskPopup, name), &QAction::triggered, this, [this, f = filter] { setTagFilter(f); });
}

void MainWindow::buildFilePopup()
{
    m_filePopup = newMenu("PopupMenu1");
    QAction *invert = action(m_filePopup, "invertselection1");
    invert->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    connect(invert, &QAction::triggered, this, &MainWindow::invertSelection);
    QAction *all = action(m_filePopup, "selectall1");
    all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    connect(all, &QAction::triggered, this, &MainWindow::selectAll);
    connect(action(m_filePopup, "deselectall1"), &QAction::triggered, this, &MainWindow::deselectAll);
    m_maskSubmenu = newMenu("EditMask1");
    m_maskSubmenu->addActions(m_maskPopup->actions());
    m_filePopup->addMenu(m_maskSubmenu);
}

void MainWindow::buildFolderPopup()
{
    m_folderPopup = newMenu("PopupMenu2");
    connect(action(m_folderPopup, "rename1"), &QAction::triggered, m_browser,
            [this] { m_browser->startFolderEdit(false); });
    connect(action(m_folderPopup, "makedirectory1"), &QAction::triggered, m_browser,
            [this] { m_browser->startFolderEdit(true); });
    connect(action(m_folderPopup, "delete1"), &QAction::triggered, m_browser, &FolderBrowser::deleteFolder);
    m_folderPopup->addSeparator();
    connect(action(m_folderPopup, "startexploreroncurrentdirectory1"), &QAction::triggered, m_browser,
            &FolderBrowser::startExplorer);
}

bool MainWindow::canEnlarge(int screenHeight, int windowHeight)
{
    return qint64(screenHeight) * 100 > qint64(windowHeight) * 125 && screenHeight < 1250;
}

void MainWindow::enlarge()
{
    const int screenHeight = screen() ? screen()->geometry().height() : 768;
    if (!canEnlarge(screenHeight, height()))
        return;
    QFont f = font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    setFont(f);
    m_scale *= 1.25;
    applyFont();
    resize(width() * 125 / 100, height() * 125 / 100);
}

void MainWindow::standardSize()
{
    showNormal();
    resize(601, 471);
}

void MainWindow::applyFont()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSizeF(m_fontSize * m_scale);
    m_browser->setFileListFont(f);
    m_itemHeight = m_fontSize + 5;
    m_fontUpButton->setEnabled(m_itemHeight < 20);
    m_fontDownButton->setEnabled(m_itemHeight >= 15);
}

void MainWindow::fontLarger()
{
    m_fontSize += 2;
    applyFont();
}

void MainWindow::fontSmaller()
{
    m_fontSize -= 2;
    applyFont();
}

void MainWindow::setHints(bool on)
{
    static ToolTipBlocker *blocker = nullptr;
    if (!blocker) {
        blocker = new ToolTipBlocker(qApp);
        qApp->installEventFilter(blocker);
    }
    blocker->enabled = !on;
    if (auto *a = findChild<QAction *>(QStringLiteral("Showhints1")); a && a->isChecked() != on)
        a->setChecked(on);
}

void MainWindow::choosePriority(ThreadPriority priority)
{
    m_runFrame.setPriority(priority);
}

void MainWindow::openHelp(int context)
{
    // A modal dialog blocks every window but its own: help asked for from
    // one belongs to it (and closes with it), so that it can be used while
    // the dialog is open.
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner || owner == m_helpWindow)
        owner = this;
    if (m_helpWindow && m_helpWindow->parentWidget() != owner) {
        m_helpWindow->hide();
        m_helpWindow->deleteLater();
        m_helpWindow = nullptr;
    }
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(owner);
    m_helpWindow->showContext(m_language, context);
    m_helpWindow->show();
    m_helpWindow->raise();
}

void MainWindow::showHelp(int context)
{
    openHelp(context);
}

void MainWindow::showAbout()
{
    runInDialogFrame([this] {
        AboutDialog box(this);
        box.applyLanguage(m_language);
        box.exec();
    });
}

void MainWindow::showShortcuts()
{
    runInDialogFrame([this] {
        ShortcutsTipsDialog tips(this);
        tips.applyLanguage(m_language);
        tips.exec();
    });
}

void MainWindow::openHomepage()
{
    QDesktopServices::openUrl(QUrl(QLatin1String(kHomepage)));
}

void MainWindow::exitClicked()
{
    if (!m_exitButton->isEnabled() || m_runFrame.running())
        return;
    close();
}

} // namespace kaz
