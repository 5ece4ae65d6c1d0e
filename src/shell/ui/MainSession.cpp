#include "MainSession.h"

#include "MainWindow.h"

#include "platform/MediaPlayerFactory.h"
#include "platform/Messages.h"
#include "platform/ShellEntry.h"
#include "config/ConfigFile.h"

#include <QAction>
#include <QMenu>

namespace kaz {

MainSession::MainSession(StartupResult startup, QString executable, MainWindow &window)
    : QObject(&window)
    , m_startup(std::move(startup))
    , m_settings(m_startup.settings)
    , m_executable(std::move(executable))
    , m_window(window)
    , m_shellRegistration(m_startup.shellRegistration)
{
    connect(&window, &MainWindow::configurationReloadRequested, this, &MainSession::reload);
    connect(&window, &MainWindow::languageChanged, this, &MainSession::languageChanged);
    connect(&window, &MainWindow::exiting, this, &MainSession::exiting);
    connect(&window, &MainWindow::tagSourceChanged, this, [this](bool on) {
        m_settings.useId3v2 = on;
        QString problem;
        if (!m_startup.noSave && !patchTagSource(m_startup.iniPath, on, &problem))
            tellNotWritten({problem});
    });
    connect(&window, &MainWindow::id3v2WriteChanged, this, [this](const QString &mode) {
        m_settings.id3v2Write = mode;
        QString problem;
        if (!m_startup.noSave && !patchId3v2Write(m_startup.iniPath, mode, &problem))
            tellNotWritten({problem});
    });

    // The folder context-menu entry is the program's own business: it can be
    // switched from the Properties menu.
    if (QMenu *properties = window.menu(HostMenu::Properties)) {
        auto *shell = new QAction(&window);
        shell->setObjectName(QStringLiteral("Addtoshell1"));
        shell->setCheckable(true);
        shell->setChecked(m_shellRegistration);
        QAction *before = window.findChild<QAction *>(QStringLiteral("Exit1"));
        properties->insertAction(before, shell);
        connect(shell, &QAction::toggled, this, &MainSession::shellRegistrationToggled);
    }
}

void MainSession::apply()
{
    m_window.loadSettings(m_settings, m_startup.applySelection);
    m_window.setMediaPlayer(createMediaPlayer(m_settings.winampPath));
    if (m_startup.windowGeometry) {
        m_window.resize(m_startup.windowGeometry->size());
        m_window.move(m_startup.windowGeometry->topLeft());
    }
    m_window.applyLanguage();
}

void MainSession::reload()
{
    // What the window shows is the newest state of its own settings; the
    // file holds the newest state of what the dialogs own.
    m_window.storeSettings(m_settings);
    IniContext context;
    context.language = m_window.language();
    context.prompter = &m_window.prompter();
    const KazSettings reread = loadIni(m_startup.iniPath, context);
    const QString player = m_settings.winampPath;
    m_settings.takeDialogSettingsFrom(reread);
    checkWinampPath(m_settings, m_startup.iniPath, &m_window.prompter(), m_window.language());
    if (m_settings.winampPath != player)
        m_window.setMediaPlayer(createMediaPlayer(m_settings.winampPath));
    m_window.loadSettings(m_settings, false);
}

void MainSession::tellNotWritten(const QStringList &problems)
{
    if (!problems.isEmpty())
        m_window.prompter().inform(MessageKind::Error, message(Msg::SettingsNotWritten, m_window.language())
                                                           + problems.join(QStringLiteral("\n\r")));
}

void MainSession::storeShellRegistration(bool on, Language language)
{
    QString problem;
    if (!applyShellRegistration(on, language, m_startup.programFolder, m_executable, &problem) && !problem.isEmpty())
        tellNotWritten({problem});
}

void MainSession::languageChanged(Language language)
{
    storeShellRegistration(m_shellRegistration, language);
}

void MainSession::shellRegistrationToggled(bool on)
{
    m_shellRegistration = on;
    storeShellRegistration(on, m_window.language());
}

void MainSession::exiting()
{
    m_window.storeSettings(m_settings);
    tellNotWritten(shutDown(m_startup, m_settings, m_window.language(), m_shellRegistration, m_executable));
}

} // namespace kaz
