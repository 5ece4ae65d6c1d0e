#pragma once

#include "config/KazSettings.h"
#include "shell/Startup.h"

#include <QObject>

namespace kaz {

class MainWindow;

// Ties the main window to the configuration: puts the settings of start-up
// into the window, re-reads the file where dialogs changed it, keeps the
// language and the folder context-menu entry stored, and runs the exit
// writer when the window closes.
class MainSession : public QObject
{
    Q_OBJECT
public:
    MainSession(StartupResult startup, QString executable, MainWindow &window);

    // Settings into the window, geometry and menu checks; call after the
    // pages were added.
    void apply();
    const KazSettings &settings() const { return m_settings; }

private:
    void reload();
    void languageChanged(Language language);
    void shellRegistrationToggled(bool on);
    void exiting();
    void storeShellRegistration(bool on, Language language);
    // The settings files that could not be written, with the system's error.
    void tellNotWritten(const QStringList &problems);

    StartupResult m_startup;
    KazSettings m_settings;
    QString m_executable;
    MainWindow &m_window;
    bool m_shellRegistration = false;
};

} // namespace kaz
