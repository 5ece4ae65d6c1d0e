#pragma once

#include "MainMenus.h"
#include "StatusRow.h"

#include "browser/ui/FolderBrowser.h"
#include "widgets/NotebookPage.h"
#include "widgets/PageHost.h"
#include "widgets/RunFrame.h"

#include "platform/Language.h"
#include "platform/Prompter.h"
#include "browser/BrowserState.h"

#include <QMainWindow>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolButton;

namespace kaz {

class HelpCommands;
class Id3v2Commands;
class MenuBarRows;
class Notebook;
class TagEditorCommand;
class WindowScale;

// What the window needs from start-up.
struct MainWindowOptions {
    QString startFolder;                  // the folder to show; home when empty
    QString selectName;                   // entry to select after the first listing (-open)
    Language language = kDefaultLanguage;
    bool showHints = true;
    int fontSize = 8;
    int page = 0;
    // Pause of the re-activation before the lists are filled; tests set 0.
    int activationDelayMs = 250;
    // Told each time a long operation lets pending events through; tests
    // count the calls.
    std::function<void()> eventsProcessed;
};

// The main window: the folder browser above, the notebook with the pages
// below, the order and status lines at the bottom. It hosts the pages, the
// run frame, the language and the activation cycle; the browser keeps the
// folder and the selection, each page brings its own controls, and the
// menus, the status row, the size and the commands of the menus are
// classes of their own.
class MainWindow : public QMainWindow, public PageHost
{
    Q_OBJECT
public:
    explicit MainWindow(const MainWindowOptions &options = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    // Adds a notebook page; its tab follows the existing ones.
    void addPage(NotebookPage *page);
    // Replaces the message boxes, for tests.
    void setPrompter(Prompter *prompter);

    // PageHost
    Language language() const override { return m_language; }
    Prompter &prompter() override { return *m_prompter; }
    RunFrame &runFrame() override { return m_runFrame; }
    HostFiles &files() override { return *m_browser; }
    HostStatus &status() override { return *m_status; }
    void processEvents() override;
    void hideRenameEdit() override;
    void reloadConfiguration() override;
    void showHelp(int context) override;
    void showPage(int index) override;
    QMenu *menu(HostMenu which) override { return m_menus->menu(which); }
    void setFolderTreeMode(bool on) override;
    MediaPlayer &mediaPlayer() override { return m_player ? *m_player : nullMediaPlayer(); }
    bool useId3v2() const override { return m_useId3v2; }
    QString id3v2Write() const override { return m_id3v2Write; }
    // The ID3v2-write setting: the Properties items and every tag write follow it.
    void setId3v2Write(const QString &mode);
    // The tag-source setting: the Properties item's check, the file list's
    // filter and every page's tag reads follow it.
    void setUseId3v2(bool on);
    void setMediaPlayer(std::unique_ptr<MediaPlayer> player) { m_player = std::move(player); }
    // A button for the row above the file list (the player buttons).
    void addToolButton(QToolButton *button) { m_browser->addToolButton(button); }

    // Language, browser and activation commands, public for the program and tests.
    void setLanguage(Language language);
    void applyLanguage();
    void deactivate();
    void reactivate();
    bool isActivated() const { return m_activated; }
    const BrowserState &browserState() const { return m_browser->state(); }
    MaskState maskState() const { return browserState().mask; }
    TagFilter tagFilter() const { return browserState().filter; }
    void setMaskState(MaskState state) { m_browser->setMaskState(state); }
    void setTagFilter(TagFilter filter) { m_browser->setTagFilter(filter); }
    void selectAll();
    void deselectAll();
    void invertSelection() { m_browser->invertSelection(); }
    // Where a dialog is shown between a deactivation and a re-activation.
    void runInDialogFrame(const std::function<void()> &show) override;
    int currentPage() const;
    QString lastFolder() const { return browserState().lastFolder; }
    // The window's and the pages' part of the configuration.
    void loadSettings(const KazSettings &settings, bool applySelection);
    void storeSettings(KazSettings &settings) const;
    // "E&xit" of the button and the Properties menu; refused during a run.
    void exitClicked();

Q_SIGNALS:
    // The language menu switched; the program stores the choice.
    void languageChanged(Language language);
    // The window is about to close through "E&xit"; the exit writer runs.
    void exiting();
    // Configuration to be read again (re-activation, after dialogs).
    void configurationReloadRequested();
    // The user switched the tag source in the Properties menu.
    void tagSourceChanged(bool useId3v2);
    // The user chose what tag writes do with ID3v2 tags.
    void id3v2WriteChanged(const QString &mode);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildWidgets();
    void buildLayout();
    void connectBrowser();
    void registerLocks();
    void updateMinimumSize();

    // browser
    void listFilled();
    void selectionChanged();
    ListState listState() const;
    void notifyListChanged();
    void updateMaskButtons();
    void updateSelectionControls();

    void setDeactivatedView(bool deactivated);
    void finishReactivation();

    MainWindowOptions m_options;
    Language m_language;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter *m_prompter = nullptr;
    RunFrame m_runFrame;
    std::unique_ptr<MediaPlayer> m_player;

    bool m_activated = false;
    bool m_useId3v2 = false;
    QString m_id3v2Write = QStringLiteral("update");
    bool m_firstActivation = true;
    bool m_closing = false;
    QList<int> m_rememberedSelection;
    QString m_selectName;
    QSize m_lastNormalSize{601, 471};

    FolderBrowser *m_browser = nullptr;
    QLabel *m_largeLabel = nullptr;
    QStackedWidget *m_browserStack = nullptr;
    MenuBarRows *m_menuRows = nullptr;
    QTimer *m_activationTimer = nullptr;
    Notebook *m_notebook = nullptr;

    WindowScale *m_scale = nullptr;
    HelpCommands *m_help = nullptr;
    StatusRow *m_status = nullptr;
    MainMenus *m_menus = nullptr;
    TagEditorCommand *m_tagEditor = nullptr;
    Id3v2Commands *m_id3v2 = nullptr;
};

} // namespace kaz
