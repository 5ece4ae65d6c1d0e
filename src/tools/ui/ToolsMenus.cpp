#include "ToolsMenus.h"

#include "PlayerPathDialog.h"
#include "SendToDialog.h"
#include "UserDirectoriesDialog.h"

#include "config/ConfigFile.h"
#include "platform/HelpFiles.h"
#include "platform/MediaPlayer.h"
#include "platform/Prompter.h"
#include "tools/PlayerControl.h"
#include "tools/SendToList.h"
#include "tools/UserEntries.h"
#include "widgets/Captions.h"
#include "widgets/HelpWindow.h"
#include "widgets/PageHost.h"
#include "widgets/RunFrame.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QListWidget>
#include <QMouseEvent>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QStyle>
#include <QToolButton>

namespace kaz {
namespace {

const Caption kCaptions[] = {
    {"Userdefineddirectories1", "Userdefined directories", "Benutzerdefinierte Verzeichnisse"},
    {"Externalprograms1", "External programs", "Externe programme"},
    {"WinAmppath1", "WinAmp path", "WinAmp-Pfad"},
    {"Copymovedeletefiles1", "Copy/move/delete files", "Dateien kopieren/verschieben/löschen"},
    {"PlayfileswithWinAmp1", "Play files with WinAmp", "Dateien mit WinAmp abspielen"},
    {"AddfilestoWinAmpsplaylist1", "Add files to WinAmp´s playlist", "Zu WinAmp´s Abspielliste hinzufügen"},
    {"Nextsong1", "Next song", "Nächstes Lied"},
    {"Stopplaying1", "Stop playing", "Stoppe Wiedergabe"},
};

const Caption kHints[] = {
    {"PlayButton", "play the selected files (Alt + left click)", "ausgewählte Dateien abspielen (Alt + Linksklick)"},
    {"PauseButton", "pause / resume", "Pause / weiter"},
    {"StopButton", "stop playing (Alt + right click)", "Wiedergabe stoppen (Alt + Rechtsklick)"},
};

} // namespace

ToolsMenus::ToolsMenus(PageHost &host, QMainWindow &window, std::function<void(QToolButton *)> addButton)
    : QObject(&window)
    , m_host(host)
    , m_window(window)
{
    // Properties: the dialogs, in the menu's order, around "Directory
    // structure" when it is there already.
    QMenu *properties = host.menu(HostMenu::Properties);
    QAction *characters = window.findChild<QAction *>(QStringLiteral("Definecharactersdelimiter1"));
    QAction *structure = window.findChild<QAction *>(QStringLiteral("Directorystructure1"));
    QAction *before = structure ? structure : characters;
    m_userDirs = addAction(properties, "Userdefineddirectories1", before);
    connect(m_userDirs, &QAction::triggered, this, [this] { editUserEntries(false); });
    QAction *programs = addAction(properties, "Externalprograms1", before);
    programs->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(programs, &QAction::triggered, this, [this] { editUserEntries(true); });
    m_playerPath = addAction(properties, "WinAmppath1", characters);
    m_playerPath->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_W));
    m_playerPath->setCheckable(true);
    connect(m_playerPath, &QAction::triggered, this, &ToolsMenus::choosePlayerPath);

    // The favourites and programs menus, before "Language".
    m_userMenu = new QMenu(&window);
    m_userMenu->setObjectName(QStringLiteral("Userdefineddirectories2"));
    m_programMenu = new QMenu(&window);
    m_programMenu->setObjectName(QStringLiteral("Externalprograms2"));
    QMenu *language = window.findChild<QMenu *>(QStringLiteral("Language1"));
    QAction *languageAction = language ? language->menuAction() : nullptr;
    window.menuBar()->insertMenu(languageAction, m_userMenu);
    window.menuBar()->insertMenu(languageAction, m_programMenu);
    for (int slot = 0; slot < 6; ++slot) {
        m_userItems[slot] = addAction(m_userMenu, QStringLiteral("userdir%1").arg(slot + 1).toLatin1().constData());
        m_userItems[slot]->setShortcut(QKeySequence(Qt::ALT | Qt::Key(Qt::Key_1 + slot)));
        connect(m_userItems[slot], &QAction::triggered, this, [this, slot] { openUserFolder(slot); });
        m_programItems[slot] = addAction(m_programMenu, (QStringLiteral("extern%1").arg(slot + 1) + QLatin1Char('1')).toLatin1().constData());
        connect(m_programItems[slot], &QAction::triggered, this, [this, slot] { startProgram(slot); });
    }
    m_userMenu->addSeparator();
    m_userItems[6] = addAction(m_userMenu, "userdir10");
    m_userItems[6]->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_1));
    connect(m_userItems[6], &QAction::triggered, this, [this] { openUserFolder(9); });

    // The file pop-up's items.
    QMenu *popup = host.menu(HostMenu::FileList);
    popup->addSeparator();
    connect(addAction(popup, "Copymovedeletefiles1"), &QAction::triggered, this, &ToolsMenus::sendSelection);
    popup->addSeparator();
    connect(addAction(popup, "PlayfileswithWinAmp1"), &QAction::triggered, this, &ToolsMenus::playSelection);
    connect(addAction(popup, "AddfilestoWinAmpsplaylist1"), &QAction::triggered, this, &ToolsMenus::addSelection);
    connect(addAction(popup, "Nextsong1"), &QAction::triggered, this, &ToolsMenus::nextSong);
    connect(addAction(popup, "Stopplaying1"), &QAction::triggered, this, &ToolsMenus::stopPlaying);

    m_play = addPlayerButton("PlayButton", QStyle::SP_MediaPlay);
    m_pause = addPlayerButton("PauseButton", QStyle::SP_MediaPause);
    m_stop = addPlayerButton("StopButton", QStyle::SP_MediaStop);
    connect(m_play, &QToolButton::clicked, this, &ToolsMenus::playSelection);
    connect(m_pause, &QToolButton::clicked, this, &ToolsMenus::pauseToggle);
    connect(m_stop, &QToolButton::clicked, this, &ToolsMenus::stopPlaying);
    for (QToolButton *button : {m_play, m_pause, m_stop})
        addButton(button);
    setPlayingButtons(false);
    if (auto *files = window.findChild<QListWidget *>(QStringLiteral("FileListBox1"))) {
        m_fileListArea = files->viewport();
        m_fileListArea->installEventFilter(this);
    }
    refresh();
}

ToolsMenus::~ToolsMenus()
{
    if (m_fileListArea)
        m_fileListArea->removeEventFilter(this);
}

bool ToolsMenus::eventFilter(QObject *watched, QEvent *event)
{
    // Only the two clicks matter; other events also come while the window
    // is taken down, when the host must no longer be asked anything.
    const QEvent::Type type = event->type();
    if (watched != m_fileListArea || (type != QEvent::MouseButtonRelease && type != QEvent::ContextMenu)
        || m_host.runFrame().running())
        return QObject::eventFilter(watched, event);
    if (type == QEvent::MouseButtonRelease) {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::AltModifier))
            playSelection();
    } else if (static_cast<QContextMenuEvent *>(event)->modifiers() & Qt::AltModifier) {
        stopPlaying();
        return true; // no pop-up
    }
    return QObject::eventFilter(watched, event);
}

QAction *ToolsMenus::addAction(QMenu *menu, const char *name, QAction *before)
{
    auto *action = new QAction(&m_window);
    action->setObjectName(QLatin1String(name));
    if (menu)
        menu->insertAction(before, action);
    m_host.runFrame().addLocked(action);
    return action;
}

QToolButton *ToolsMenus::addPlayerButton(const char *name, int icon)
{
    auto *button = new QToolButton(&m_window);
    button->setObjectName(QLatin1String(name));
    button->setIcon(m_window.style()->standardIcon(QStyle::StandardPixmap(icon)));
    button->setAutoRaise(true);
    m_host.runFrame().addLocked(button);
    return button;
}

void ToolsMenus::applyLanguage(Language language)
{
    m_language = language;
    applyCaptions(m_window, language, kCaptions);
    applyHints(m_window, language, kHints);
    m_userMenu->setTitle(QString::fromUtf8(tr2(language, "Userdefined directories", "Benutzerdefinierte Verzeichnisse")));
    m_programMenu->setTitle(QString::fromUtf8(tr2(language, "&External programs", "&Externe Programme")));
    // The German set moves the key: Ctrl+B there.
    m_userDirs->setShortcut(QKeySequence(Qt::CTRL | (language == Language::German ? Qt::Key_B : Qt::Key_U)));
}

void ToolsMenus::refresh()
{
    m_settings = loadIni(iniPath(), IniContext{});
    bool anyFolder = false;
    for (int slot = 0; slot < 6; ++slot) {
        const QString &folder = m_settings.userDirectories[slot];
        m_userItems[slot]->setText(folder);
        m_userItems[slot]->setVisible(!folder.isEmpty());
        anyFolder = anyFolder || !folder.isEmpty();
    }
    m_userItems[6]->setText(m_settings.lastDir);
    m_userItems[6]->setVisible(!m_settings.lastDir.isEmpty());
    m_userMenu->menuAction()->setVisible(anyFolder);
    bool anyProgram = false;
    for (int slot = 0; slot < 6; ++slot) {
        const ExternalProgram &program = m_settings.externalPrograms[slot];
        m_programItems[slot]->setText(program.caption);
        m_programItems[slot]->setVisible(!program.isEmpty());
        anyProgram = anyProgram || !program.isEmpty();
    }
    m_programMenu->menuAction()->setVisible(anyProgram);
    m_playerPath->setChecked(m_settings.winampPath.size() >= 2);
}

QStringList ToolsMenus::selectedPaths() const
{
    const QString folder = m_host.files().currentFolder();
    const QString base = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    QStringList paths;
    for (const QString &name : m_host.files().selectedNames())
        paths.append(base + name);
    return paths;
}

void ToolsMenus::setPlayingButtons(bool playing)
{
    m_pause->setEnabled(playing);
    m_stop->setEnabled(playing);
}

void ToolsMenus::playSelection()
{
    const QStringList paths = selectedPaths();
    if (paths.isEmpty())
        return;
    PlayerControl control(m_host.mediaPlayer());
    if (control.playFiles(paths)) {
        setPlayingButtons(true);
    } else if (const QString why = control.errorText(m_language); !why.isEmpty()) {
        m_host.prompter().inform(MessageKind::Error, why);
    }
    m_window.activateWindow(); // the focus back from the player
}

void ToolsMenus::addSelection()
{
    PlayerControl control(m_host.mediaPlayer());
    if (!control.addFiles(selectedPaths())) {
        if (const QString why = control.errorText(m_language); !why.isEmpty())
            m_host.prompter().inform(MessageKind::Error, why);
    }
    m_window.activateWindow();
    m_host.files().refillFileList();
}

void ToolsMenus::stopPlaying()
{
    PlayerControl(m_host.mediaPlayer()).stop();
    setPlayingButtons(false);
    m_window.activateWindow();
}

void ToolsMenus::pauseToggle()
{
    MediaPlayer &player = m_host.mediaPlayer();
    PlayerControl(player).pauseToggle();
    const bool paused = player.isPaused();
    m_pause->setIcon(m_window.style()->standardIcon(paused ? QStyle::SP_MediaPlay : QStyle::SP_MediaPause));
}

void ToolsMenus::nextSong()
{
    PlayerControl(m_host.mediaPlayer()).next();
}

void ToolsMenus::sendSelection()
{
    const QStringList paths = selectedPaths();
    if (paths.isEmpty() || !SendToList::write(paths))
        return;
    SendToDialog dialog(m_host.prompter(), &m_window);
    dialog.applyLanguage(m_language);
    addHelpKey(&dialog, [this] { m_host.showHelp(helpcontext::CopyMoveDelete); });
    dialog.exec();
    if (!dialog.refreshNeeded())
        return;
    m_host.files().folderUpdate();
    if (dialog.lastOperation() != SendOperation::Copy)
        m_host.files().refillFileList();
}

void ToolsMenus::openUserFolder(int slot)
{
    const QString folder = slot == 9 ? m_settings.lastDir : m_settings.userDirectories.at(slot);
    if (slot == 9) {
        if (QFileInfo(folder).isDir())
            m_host.files().openFolder(folder);
        return;
    }
    const EntryOutcome outcome = kaz::openUserFolder(folder, iniPath(), &m_host.prompter(), m_language);
    if (outcome == EntryOutcome::Open)
        m_host.files().openFolder(folder);
    else
        entryRemoved(outcome, false);
}

void ToolsMenus::startProgram(int slot)
{
    const QString program = m_settings.externalPrograms.at(slot).path;
    const EntryOutcome outcome = startExternalProgram(program, iniPath(), &m_host.prompter(), m_language);
    if (outcome == EntryOutcome::StartFailed)
        m_host.prompter().inform(MessageKind::Error, programNotStartedText(program, m_language));
    else
        entryRemoved(outcome, true);
}

// After the user let a favourite or a program whose target is gone be
// removed: the menus follow, and the dialog opens where a new one is wanted.
void ToolsMenus::entryRemoved(EntryOutcome outcome, bool programs)
{
    if (outcome != EntryOutcome::Removed && outcome != EntryOutcome::RemovedChooseNew)
        return;
    m_host.reloadConfiguration();
    if (outcome == EntryOutcome::RemovedChooseNew)
        editUserEntries(programs);
    else
        refresh();
}

void ToolsMenus::editUserEntries(bool programs)
{
    UserDirectoriesDialog dialog(programs ? UserDirectoriesDialog::Mode::Programs : UserDirectoriesDialog::Mode::Folders,
                                 iniPath(), m_host.prompter(), &m_window);
    dialog.applyLanguage(m_language);
    dialog.setHelp([this] { m_host.showHelp(helpcontext::UserEntries); });
    if (dialog.exec() == QDialog::Accepted)
        m_host.reloadConfiguration();
    refresh();
}

void ToolsMenus::choosePlayerPath()
{
    m_host.runInDialogFrame([this] {
        PlayerPathDialog dialog(PlayerPathDialog::Mode::Player, m_host.prompter(), &m_window);
        dialog.applyLanguage(m_language);
        addHelpKey(&dialog, [this] { m_host.showHelp(helpcontext::Player); });
        const QString stored = loadIni(iniPath(), IniContext{}).winampPath;
        dialog.openPlayer(iniPath(), stored, QFileInfo(stored).isFile());
        dialog.exec();
    });
    refresh();
}

} // namespace kaz
