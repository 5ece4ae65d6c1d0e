#pragma once

#include "config/KazSettings.h"
#include "platform/Language.h"
#include "tools/UserEntries.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <array>
#include <functional>

class QAction;
class QMainWindow;
class QMenu;
class QToolButton;

namespace kaz {

class PageHost;

// The outside tools in the main window: the player buttons and the file
// pop-up's player items, "Copy/move/delete files", the favourite folders
// (Alt+1 to Alt+6, the startup folder Ctrl+1) and external programs menus,
// and the Properties items for the user-directories dialog and the player
// path. Menus follow KAZ.INI: refresh() reads it again.
class ToolsMenus : public QObject
{
    Q_OBJECT
public:
    // addButton puts a button into the row above the file list.
    ToolsMenus(PageHost &host, QMainWindow &window, std::function<void(QToolButton *)> addButton);
    ~ToolsMenus() override;

    void applyLanguage(Language language);
    // Menus and captions from KAZ.INI.
    void refresh();

    // The commands, public for tests.
    void playSelection();
    void addSelection();
    void stopPlaying();
    void pauseToggle();
    void nextSong();
    void sendSelection();
    void openUserFolder(int slot); // 0..5; 9 for the startup folder
    void startProgram(int slot);   // 0..5
    void editUserEntries(bool programs);
    void choosePlayerPath();

protected:
    // Alt + left click in the file list plays the selection, Alt + right
    // click stops.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAction *addAction(QMenu *menu, const char *name, QAction *before = nullptr);
    QToolButton *addPlayerButton(const char *name, int icon);
    QStringList selectedPaths() const;
    void setPlayingButtons(bool playing);
    void entryRemoved(EntryOutcome outcome, bool programs);

    PageHost &m_host;
    QMainWindow &m_window;
    Language m_language = kDefaultLanguage;
    KazSettings m_settings;
    QMenu *m_userMenu = nullptr;
    QMenu *m_programMenu = nullptr;
    std::array<QAction *, 7> m_userItems{}; // slots 1..6 and the startup folder
    std::array<QAction *, 6> m_programItems{};
    QAction *m_playerPath = nullptr;
    QAction *m_userDirs = nullptr;
    QToolButton *m_play = nullptr;
    QToolButton *m_pause = nullptr;
    QToolButton *m_stop = nullptr;
    QPointer<QWidget> m_fileListArea;
};

} // namespace kaz
