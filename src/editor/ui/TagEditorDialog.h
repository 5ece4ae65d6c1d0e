#pragma once

#include "editor/EditorSequence.h"
#include "editor/TagEditorModel.h"

#include "platform/Language.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QToolButton;

namespace kaz {

class EditorPlayerControls;
class MediaPlayer;
class StatusLine;

// "Edit ID3Tag/filename": the tag and the name of one file at a time, with
// the clipboard, the carry-over to the next file, the strip, and the player
// controls for listening while editing. The main window shows it for each
// selected file in turn (EditTagsOneByOne).
class TagEditorDialog : public QDialog
{
    Q_OBJECT
public:
    TagEditorDialog(TagEditorSession &session, const TagContext &context, MediaPlayer &player,
                    QWidget *parent = nullptr);
    ~TagEditorDialog() override;

    void applyLanguage(Language language);
    // "k/n" in the order line; the sampler box is for more than one file.
    void setSequence(int position, int count);
    // Reads the file and fills the controls.
    void openFile(const QString &path);
    // Shows values handed in by a caller instead of the file's own.
    void showValues(const TagValues &values);

    EditorClose closeReason() const { return m_close; }
    // The file's path now (it may have been renamed).
    QString path() const { return m_model.path(); }
    TagEditorModel &model() { return m_model; }

    void setHelp(std::function<void()> help) { m_help = std::move(help); }
    // "&Save && next" instead of "&Save": more files follow in this run.
    void setSaveAndNext(bool next)
    {
        m_saveAndNext = next;
        applyLanguage(m_language);
    }
    // Replaces the system beep of a refused name character (tests count).
    void setBeep(std::function<void()> beep) { m_beep = std::move(beep); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void done(int result) override;

private:
    void buildControls();
    void buildLayout();
    void buildMenus();
    void connectControls();

    // fields <-> controls
    void readControls();
    void showFields();
    void updateLabels();
    // The header follows the three long fields as they stand.
    void updateHeader();
    void resetLongLabels();
    void showSource();
    void updateStripButtons();
    void updateUndoButton();

    // buttons
    void closeWith(EditorClose close);
    void copyToClipboard();
    void insertFromClipboard();
    void guessFromFolderNames();
    void strip();
    void takeBackStrip();
    void renameNow();
    void undoName();
    void nameEdited(const QString &text);
    void popupAtSameSpot(QMenu *menu, const QPoint &pos);

    TagEditorModel m_model;
    MediaPlayer &m_player;
    EditorPlayerControls *m_playerControls = nullptr;
    Language m_language = kDefaultLanguage;
    EditorClose m_close = EditorClose::Exit;
    std::function<void()> m_help;
    std::function<void()> m_beep;
    bool m_filling = false;
    bool m_saveAndNext = false;

    QLabel *m_header = nullptr;
    QLabel *m_writes = nullptr; // which tags a save writes
    QLabel *m_source = nullptr; // where the values came from: an ID3v2 tag in place of a missing ID3v1 tag
    QLabel *m_nameLabel = nullptr;
    QLabel *m_titleLabel = nullptr;
    QLabel *m_artistLabel = nullptr;
    QLabel *m_albumLabel = nullptr;
    QLabel *m_commentLabel = nullptr;
    QLabel *m_trackLabel = nullptr;
    QLabel *m_yearLabel = nullptr;
    QLabel *m_genreLabel = nullptr;
    QLineEdit *m_name = nullptr;    // Trackname
    QLineEdit *m_title = nullptr;   // Edit3
    QLineEdit *m_artist = nullptr;  // Edit1
    QLineEdit *m_album = nullptr;   // Edit2
    QLineEdit *m_comment = nullptr; // Edit4
    QSpinBox *m_track = nullptr;    // SpinEdit1
    QLineEdit *m_year = nullptr;    // Edit5
    QComboBox *m_genre = nullptr;   // ComboBox1
    QCheckBox *m_sampler = nullptr; // CheckBox1
    QPushButton *m_ok = nullptr;
    QPushButton *m_saveCopy = nullptr;
    QPushButton *m_skip = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_helpButton = nullptr;
    QPushButton *m_copy = nullptr;    // Button1
    QPushButton *m_insert = nullptr;  // Button2
    QPushButton *m_folders = nullptr; // Button3
    QPushButton *m_strip = nullptr;   // BitBtn2
    QPushButton *m_unstrip = nullptr; // BitBtn1
    QPushButton *m_undo = nullptr;    // Button4
    QToolButton *m_rename = nullptr;  // BitBtn3
    StatusLine *m_folderLine = nullptr;   // StatusBar1
    QLabel *m_orderLine = nullptr;        // StatusBar2
    QMenu *m_clipboardMenu = nullptr;     // PopupMenu2
    QMenu *m_folderMenu = nullptr;        // PopupMenu1
};

} // namespace kaz
