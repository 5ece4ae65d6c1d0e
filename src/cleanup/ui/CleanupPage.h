#pragma once

#include "cleanup/CleanupOptions.h"

#include "widgets/NotebookPage.h"

#include <functional>

class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolButton;

namespace kaz {

class CleanupOptionsBox;
class LiveView;
class SavedRulesMenu;
class PageHost;
class UpDown;

// Page "1", "Cleanup filenames": the replace script with its live view and
// ruler, the replacement options, the saved scripts, and Go! and Undo.
class CleanupPage : public NotebookPage
{
    Q_OBJECT
public:
    explicit CleanupPage(PageHost &host, QWidget *parent = nullptr);
    ~CleanupPage() override;

    QString tabCaption(Language language) const override;
    int helpContext() const override { return 7; }
    void applyLanguage(Language language) override;
    void listChanged(const ListState &state) override;
    void selectionChanged(const ListState &state) override;
    void setDeactivated(bool deactivated) override;
    void registerLocks(RunFrame &frame) override;
    void loadSettings(const KazSettings &settings, bool applySelection) override;
    void storeSettings(KazSettings &settings) const override;

    CleanupOptions options() const;
    void setOptions(const CleanupOptions &options);

    // The new name for the live view's base name; the empty-name message
    // and the removal of the last entry when the script would empty it.
    void computePreview();
    // A drop of the live view's selection (or caret) on the script field.
    void dropOnScript(bool fromRuler);
    // A right-button press in the live view at x (caret before the
    // character there when nothing is selected), then a drag.
    void rightPressInView(int x);
    void deleteLast();
    void stepSelection(bool up);
    // A saved script chosen from the menu, and the dialog that saves and deletes.
    void chooseSavedScript(const QString &script);
    void openSaveDelete();
    void go();
    void undo();

    // How a drag is started; tests replace the blocking system drag.
    void setDragStarter(std::function<void(bool fromRuler)> starter) { m_dragStarter = std::move(starter); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    QWidget *buildScriptGroup();
    void showFile(int index);
    void updateMarks();
    void startDrag(bool fromRuler);
    void enableControls();
    void reportRun(qint64 notCleaned, const QStringList &reasons);

    PageHost &m_host;
    Language m_language = kDefaultLanguage;
    ListState m_state;
    bool m_deactivated = false;
    bool m_computing = false;
    bool m_undoAvailable = false;
    int m_current = -1; // the file shown, as its index in the file list
    std::function<void(bool)> m_dragStarter;
    bool m_dragging = false;

    QGroupBox *m_scriptGroup = nullptr;
    QLineEdit *m_script = nullptr;
    QToolButton *m_rulesButton = nullptr;
    QToolButton *m_deleteLastButton = nullptr;
    QWidget *m_rulerRow = nullptr;
    QLabel *m_ruler = nullptr;
    QLabel *m_firstMark = nullptr;
    QLabel *m_lastMark = nullptr;
    LiveView *m_view = nullptr;
    QLabel *m_preview = nullptr;
    UpDown *m_upDown = nullptr;
    CleanupOptionsBox *m_optionsBox = nullptr;
    QPushButton *m_goButton = nullptr;
    QPushButton *m_undoButton = nullptr;
    QMenu *m_scriptMenu = nullptr; // PopupMenu4
    SavedRulesMenu *m_rulesMenu = nullptr;
    QAction *m_fileListEntry = nullptr;
};

} // namespace kaz
