#pragma once

#include "fromname/FromNameSettings.h"
#include "fromname/PatternWords.h"
#include "tags/FolderNameGuess.h"

#include "widgets/NotebookPage.h"

class QAction;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace kaz {

class PageHost;
class TagEditor;

// Page "2", "Filename -> ID3Tag": what is cut out of the file names, values
// for all files, and whether an existing tag wins; "Go!" opens the grid.
class FromNamePage : public NotebookPage
{
    Q_OBJECT
public:
    explicit FromNamePage(PageHost &host, QWidget *parent = nullptr);
    ~FromNamePage() override;

    QString tabCaption(Language language) const override;
    int helpContext() const override { return 2; }
    void applyLanguage(Language language) override;
    void listChanged(const ListState &state) override;
    void setDeactivated(bool deactivated) override;
    void registerLocks(RunFrame &frame) override;
    void loadSettings(const KazSettings &settings, bool applySelection) override;
    void storeSettings(KazSettings &settings) const override;

    FromNameSettings settings() const;
    QStringList pattern() const { return m_pattern; }
    // Another tag editor for the grid's "old ID3Tag" and "new ID3Tag" than
    // the program's dialog (tests).
    void setTagEditor(TagEditor *editor) { m_tagEditor = editor; }

    // "Go!" and the file list's "Filename -> ID3Tag": the grid for the
    // selected files, or all of them when none is selected.
    void go();
    // The folder pop-up's "extract ID3Tags from files in current directory":
    // the grid for every file of the list, whatever is selected.
    void goWithAllFiles();
    // "Get artist && album tag from directorynames".
    void folderNamesClicked();
    FolderNameOptions folderNameOptions() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    QGroupBox *buildGeneralInfos();
    QGroupBox *buildExtraction();
    void toggleWord(TagWord word);
    void showPattern();
    void yearSourceChosen(QCheckBox *chosen);
    void showFieldLabel(QLineEdit *field);
    void showPropertiesMenu(const QPoint &at);
    void enableControls();
    void openGrid(const QStringList &names);

    PageHost &m_host;
    TagEditor *m_tagEditor = nullptr;
    Language m_language = kDefaultLanguage;
    QStringList m_pattern;
    bool m_swap = false;
    bool m_deactivated = false;
    bool m_hasFiles = false;
    bool m_canRun = false;

    QGroupBox *m_syncGroup = nullptr;     // GroupBox4
    QCheckBox *m_sync = nullptr;          // Sync1
    QGroupBox *m_infoGroup = nullptr;     // GroupBox5
    QCheckBox *m_useTitle = nullptr;      // Check4 .. Check9
    QCheckBox *m_useArtist = nullptr;
    QCheckBox *m_useAlbum = nullptr;
    QCheckBox *m_useComment = nullptr;
    QCheckBox *m_useYear = nullptr;
    QCheckBox *m_useGenre = nullptr;
    QLineEdit *m_title = nullptr;         // Edit4 .. Edit8
    QLineEdit *m_artist = nullptr;
    QLineEdit *m_album = nullptr;
    QLineEdit *m_comment = nullptr;
    QLineEdit *m_year = nullptr;
    QComboBox *m_genre = nullptr;         // ComboBox1
    QCheckBox *m_yearFromFile = nullptr;  // Check10
    QCheckBox *m_yearFromSystem = nullptr; // Check11
    QLineEdit *m_fieldLabel = nullptr;    // Edit9
    QPushButton *m_folderNames = nullptr; // Button4
    QMenu *m_properties = nullptr;        // PopupMenu3
    QAction *m_noticeAlbum = nullptr;     // noticealbum1
    QAction *m_noticeCd = nullptr;        // noticeCD1
    QAction *m_exitMenu = nullptr;        // Exit2
    QGroupBox *m_extractionGroup = nullptr; // GroupBox3
    QLineEdit *m_patternEdit = nullptr;   // Edit3
    QPushButton *m_wordButtons[4] = {};   // Title_button, artist_button, Album_button, Comment_button
    QPushButton *m_clearPattern = nullptr; // SpeedButton4
    QCheckBox *m_underscore = nullptr;    // CheckBox5
    QLabel *m_splitAtLabel = nullptr;     // Label10
    QLineEdit *m_splitAt = nullptr;       // Edit10: split every name here; empty: each name's own delimiter
    QPushButton *m_go = nullptr;          // BitBtn6
    QAction *m_listEntry = nullptr;       // FilenametoID3Tag1
    QAction *m_folderEntry = nullptr;     // folder pop-up: the grid for every file of the folder
};

} // namespace kaz
