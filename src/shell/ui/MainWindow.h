#pragma once

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

class QAction;
class QActionGroup;
class QLabel;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QStackedWidget;
class QTabBar;
class QTimer;
class QToolButton;

namespace kaz {

class FolderBrowser;
class HelpWindow;
class MenuBarRows;
class StatusLine;

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
// menus, the run frame, the language and the activation cycle; the browser
// keeps the folder and the selection, and each page brings its own controls.
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
    QString currentFolder() const override { return browserState().folder; }
    QStringList fileNames() const override;
    QStringList selectedNames() const override;
    bool includeSubdirectories() const override;
    bool selectFirstIfNone() override;
    void setStatusText(const QString &text) override;
    void setOrderText(const QString &text) override;
    QString orderText() const override;
    void setStatusHighlighted(bool highlighted) override;
    void resetStatus() override;
    void showCountStatus() override;
    void setNamePreview(std::function<QString(const QString &path)> preview) override;
    QProgressBar *folderProgress() override;
    QProgressBar *fileProgress() override;
    void processEvents() override;
    void refillFileList() override;
    void folderUpdate() override;
    void openFolder(const QString &folder) override;
    void hideRenameEdit() override;
    void reloadConfiguration() override;
    void showHelp(int context) override;
    void showPage(int index) override;
    QMenu *menu(HostMenu which) override;
    void setFolderTreeMode(bool on) override;
    MediaPlayer &mediaPlayer() override { return m_player ? *m_player : nullMediaPlayer(); }
    bool useId3v2() const override { return m_useId3v2; }
    // The tag-source setting: the Properties item's check, the file list's
    // filter and every page's tag reads follow it.
    void setUseId3v2(bool on);
    // The file pop-up's "Write ID3v1 tag from ID3v2 tag" for the selection.
    void convertSelectionFromId3v2();
    void setMediaPlayer(std::unique_ptr<MediaPlayer> player) { m_player = std::move(player); }
    // A button for the row above the file list (the player buttons).
    void addToolButton(QToolButton *button);

    // Language, browser and activation commands, public for the program and tests.
    void setLanguage(Language language);
    void applyLanguage();
    void deactivate();
    void reactivate();
    bool isActivated() const { return m_activated; }
    const BrowserState &browserState() const;
    MaskState maskState() const { return browserState().mask; }
    TagFilter tagFilter() const { return browserState().filter; }
    void setMaskState(MaskState state);
    void setTagFilter(TagFilter filter);
    void selectAll();
    void deselectAll();
    void invertSelection();
    // Where a dialog is shown between a deactivation and a re-activation.
    void runInDialogFrame(const std::function<void()> &show) override;
    // Enlarging by "increase" is allowed on a screen of this height.
    static bool canEnlarge(int screenHeight, int windowHeight);
    int currentPage() const;
    QString lastFolder() const { return browserState().lastFolder; }
    // The window's and the pages' part of the configuration.
    void loadSettings(const KazSettings &settings, bool applySelection);
    void storeSettings(KazSettings &settings) const;

Q_SIGNALS:
    // The language menu switched; the program stores the choice.
    void languageChanged(Language language);
    // The window is about to close through "E&xit"; the exit writer runs.
    void exiting();
    // Configuration to be read again (re-activation, after dialogs).
    void configurationReloadRequested();
    // The user switched the tag source in the Properties menu.
    void tagSourceChanged(bool useId3v2);

protected:
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // construction
    void buildWidgets();
    void buildTabRow();
    void buildStatusRow();
    void buildLayout();
    void connectBrowser();
    void buildMenus();
    void buildPropertiesMenu();
    void buildLanguageMenu();
    void buildPriorityMenu();
    void buildHelpMenu();
    void buildBarActions();
    void buildPopups();
    void buildMaskPopup();
    void buildFilePopup();
    void buildFolderPopup();
    void registerLocks();
    void updateMinimumSize();
    QAction *action(QMenu *menu, const char *name);
    QMenu *newMenu(const char *name);

    // browser
    void listFilled();
    void selectionChanged();
    void folderPopup(const QPoint &globalPos);
    void updateMaskButtons();
    void updateFilterActions();
    ListState listState() const;
    void notifyListChanged();

    // selection and status
    void updateSelectionControls();
    QString namePreviewText() const;

    // commands
    void enlarge();
    void standardSize();
    void fontLarger();
    void fontSmaller();
    void applyFont();
    void setHints(bool on);
    void choosePriority(ThreadPriority priority);
    void openHelp(int context);
    void showAbout();
    void showShortcuts();
    void openHomepage();
    void exitClicked();
    void tabClicked(int index);
    void setDeactivatedView(bool deactivated);
    void finishReactivation();

    // tag editor
    void buildTagEditorControls();
    void addTagEditorMenuItem();
    void openTagEditor();

    // ID3v2 tags
    void addId3v2MenuItems();
    void applyId3v2Captions();

    MainWindowOptions m_options;
    Language m_language;
    std::unique_ptr<Prompter> m_ownPrompter;
    Prompter *m_prompter = nullptr;
    RunFrame m_runFrame;
    std::function<QString(const QString &)> m_namePreview;
    std::unique_ptr<MediaPlayer> m_player;

    bool m_activated = false;
    bool m_useId3v2 = false;
    bool m_firstActivation = true;
    bool m_tabClickedSinceActivation = false;
    bool m_closing = false;
    QList<int> m_rememberedSelection;
    QString m_selectName;
    int m_fontSize = 8;
    int m_itemHeight = 13;
    double m_scale = 1.0;
    QSize m_lastNormalSize{601, 471};

    FolderBrowser *m_browser = nullptr;
    QToolButton *m_fontUpButton = nullptr;
    QToolButton *m_fontDownButton = nullptr;
    QPushButton *m_helpButton = nullptr;
    QTabBar *m_tabs = nullptr;
    QStackedWidget *m_pages = nullptr;
    QPushButton *m_exitButton = nullptr;
    QLabel *m_orderLine = nullptr;
    StatusLine *m_statusLine = nullptr;
    QLabel *m_largeLabel = nullptr;
    QStackedWidget *m_browserStack = nullptr;
    QMenuBar *m_menuRow2 = nullptr;
    MenuBarRows *m_menuRows = nullptr;
    QTimer *m_activationTimer = nullptr;
    QList<NotebookPage *> m_pageList;
    QPointer<HelpWindow> m_helpWindow;

    // menus
    QMenu *m_propertiesMenu = nullptr;
    QMenu *m_sizeMenu = nullptr;
    QMenu *m_languageMenu = nullptr;
    QMenu *m_priorityMenu = nullptr;
    QMenu *m_helpMenu = nullptr;
    QMenu *m_filePopup = nullptr;
    QToolButton *m_tagButton = nullptr; // "ID3Tag": the tag editor
    QMenu *m_folderPopup = nullptr;
    QMenu *m_maskPopup = nullptr;
    QMenu *m_maskSubmenu = nullptr;
    QActionGroup *m_priorityGroup = nullptr;
    QActionGroup *m_languageGroup = nullptr;
};

} // namespace kaz
