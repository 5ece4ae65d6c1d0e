#pragma once

#include "browser/BrowserState.h"

#include "platform/Language.h"
#include "widgets/HostFiles.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QListWidget;
class QListWidgetItem;
class QProgressBar;
class QToolButton;

namespace kaz {

class ListingJob;
class Prompter;
class RunFrame;

// The browser of the main window: drive box, folder list with the folder
// edit, "include subdirectories", the file list with mask, filter and letter
// sort, and the two progress bars. It keeps a BrowserState current and tells
// the window when the list, its selection or a pop-up menu is wanted.
class FolderBrowser : public QWidget, public HostFiles
{
    Q_OBJECT
public:
    FolderBrowser(RunFrame &runFrame, const QString &startFolder, QWidget *parent = nullptr);
    ~FolderBrowser() override;

    const BrowserState &state() const { return m_state; }
    void setPrompter(Prompter *prompter) { m_prompter = prompter; }
    // Told each time filling the file list has shown more and lets pending
    // events through.
    void setEventsProcessedObserver(std::function<void()> observer) { m_eventsProcessed = std::move(observer); }
    void setLanguage(Language language);
    // Widgets the window adds to the button row above the file list.
    void addToolButton(QToolButton *button);
    // A small text button for that row, as the row's own buttons are.
    QToolButton *addTextButton(const char *name, const QString &text);
    void registerLocks(RunFrame &frame);
    void setFileListFont(const QFont &font);
    void setIncludeSubdirectoriesEnabled(bool enabled);
    // The folder tree is the input: "include subdirectories" checked and
    // locked, the file list greyed, deselected and disabled; off undoes it.
    void setFolderTreeMode(bool on);
    QProgressBar *folderProgress() const override { return m_folderProgress; }
    QProgressBar *fileProgress() const override { return m_fileProgress; }
    QString currentFolder() const override { return m_state.folder; }
    QStringList fileNames() const override { return m_state.files; }
    QStringList selectedNames() const override { return m_state.selectedNames(); }
    bool includeSubdirectories() const override { return m_state.includeSubdirectories; }

    // Folder and lists
    void fillDrives();
    void openFolder(const QString &folder) override;
    void fillFolderList();
    // Reads the list anew and returns when it is complete. The folder is
    // read on a thread of its own; meanwhile the rows appear step by step
    // and the window draws and answers. A call while a fill runs (another
    // folder, mask or filter) makes that fill start over.
    void fillFileList();
    void refillFileList() override;
    void folderUpdate() override;
    // Nothing of the user's stays listed while the program is in the background.
    void release();
    // The folder as start-up or a recovery found it, without filling the lists.
    void setFolder(const QString &folder) { m_state.folder = folder; }
    void rememberLastFolder() { m_state.lastFolder = m_state.folder; }
    void setMaskState(MaskState state);
    void setTagFilter(TagFilter filter);
    void setUseId3v2(bool on);
    void setLetterSorted(bool sorted);
    void updateMaskButtons();

    // Selection
    void selectAll();
    void deselectAll();
    void invertSelection();
    bool selectFirstIfNone() override;
    // Selects without telling: rows that exist, and every entry of the name.
    void restoreSelection(const QList<int> &rows, const QString &name);

    // Folder commands of the folder pop-up
    void startFolderEdit(bool makeNew);
    void hideRenameEdit();
    void deleteFolder();
    void startExplorer();

Q_SIGNALS:
    // The folder, the list, the mask or "include subdirectories" changed.
    void listChanged();
    // The file list was read anew.
    void listFilled();
    // The user changed the selection of the file list.
    void selectionChanged();
    // Double click or Enter on a file.
    void fileActivated();
    void folderMenuRequested(const QPoint &globalPos);
    void fileMenuRequested(const QPoint &globalPos);
    void maskMenuRequested(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildFolderSide();
    void buildFileSide();
    void buildLayout();
    void driveChosen(int index);
    void folderListClicked(QListWidgetItem *item);
    void folderPopup(const QPoint &pos);
    void fileListSelectionChanged();
    void finishFolderEdit();
    void syncSelection();
    bool running() const;
    bool fillOnce();
    bool showFound(QStringList &waiting, qsizetype &next);
    void appendRows(const QStringList &names);
    void fitRowSize();

    RunFrame &m_runFrame;
    Prompter *m_prompter = nullptr;
    Language m_language = kDefaultLanguage;
    BrowserState m_state;
    bool m_filling = false;
    std::function<void()> m_eventsProcessed;
    bool m_refillPending = false;
    std::unique_ptr<ListingJob> m_job; // the fill's, while one runs
    int m_widestRow = -1;              // the file list's longest name
    int m_widestLength = -1;
    int m_folderListGeneration = 0;    // counts the folder list's fills
    bool m_folderEditMakes = false;
    bool m_folderTreeMode = false;
    Qt::MouseButton m_folderButton = Qt::LeftButton; // of the last press on the folder list

    QComboBox *m_driveBox = nullptr;
    QListWidget *m_folderList = nullptr;
    QCheckBox *m_includeSubdirs = nullptr;
    QLineEdit *m_folderEdit = nullptr;
    QProgressBar *m_folderProgress = nullptr;
    QProgressBar *m_fileProgress = nullptr;
    QToolButton *m_maskButton = nullptr;
    QToolButton *m_filterButton = nullptr;
    QToolButton *m_sortButton = nullptr;
    QLabel *m_maskLabel = nullptr; // Label4
    QHBoxLayout *m_buttonRow = nullptr;
    QListWidget *m_fileList = nullptr;
};

} // namespace kaz
