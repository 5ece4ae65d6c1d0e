#pragma once

#include "widgets/PageHost.h"

#include <QObject>

class QAction;
class QMenu;
class QPoint;

namespace kaz {

class FolderBrowser;
class HelpCommands;
class MainWindow;
class RunFrame;
class WindowScale;

// The main window's menu bar (Properties, Language, Priority, Help and the
// three commands in the bar itself) and the pop-ups of the file list, the
// mask and filter buttons and the folder list. The menus and their items
// are the window's children, each with an objectName of its own.
class MainMenus : public QObject
{
    Q_OBJECT
public:
    MainMenus(MainWindow &window, FolderBrowser &browser, WindowScale &scale, HelpCommands &help);

    QMenu *menu(HostMenu which) const;
    void popupFileMenu(const QPoint &globalPos);
    void popupMaskMenu(const QPoint &globalPos);
    // "Rename directory" is not offered for a volume's root or during a run.
    void popupFolderMenu(const QPoint &globalPos, bool renameAllowed);

    // "Show hints": tool tips on or off in the whole program.
    void setHints(bool on);
    bool hintsShown() const;
    bool startWithLastPosition() const;
    void setStartWithLastPosition(bool on);
    // The tag filter applies to the *.mp3 mask only.
    void setFilterEnabled(bool enabled);
    // Language, Properties and Priority are closed while the window is
    // deactivated or a run is on.
    void setSettingsMenusEnabled(bool enabled);
    void registerLocks(RunFrame &frame);

private:
    QAction *action(QMenu *menu, const char *name);
    QMenu *newMenu(const char *name);
    void buildPropertiesMenu(WindowScale &scale);
    void buildLanguageMenu();
    void buildPriorityMenu();
    void buildHelpMenu(HelpCommands &help);
    void buildBarActions();
    void buildMaskPopup();
    void buildFilePopup();
    void buildFolderPopup(FolderBrowser &browser);

    MainWindow &m_window;
    QMenu *m_propertiesMenu = nullptr;
    QMenu *m_languageMenu = nullptr;
    QMenu *m_priorityMenu = nullptr;
    QMenu *m_filePopup = nullptr;
    QMenu *m_folderPopup = nullptr;
    QMenu *m_maskPopup = nullptr;
    QAction *m_hints = nullptr;
    QAction *m_lastPosition = nullptr;
    QAction *m_renameFolder = nullptr;
    QList<QAction *> m_filters;
};

} // namespace kaz
