#pragma once

#include "fromname/FromNameSettings.h"
#include "fromname/GridTable.h"

#include "platform/Language.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QTableView;

namespace kaz {

class GridCellEditor;
class GridModel;
class Prompter;
class TagEditor;

// The filename-to-tag grid (TfilenametoID3Tag): one row per file with the
// values the extraction proposes; the user corrects them cell by cell or
// column by column and writes them with "Keep changes!".
class FilenameToTagDialog : public QDialog
{
    Q_OBJECT
public:
    FilenameToTagDialog(Language language, Prompter &prompter, QWidget *parent = nullptr);
    ~FilenameToTagDialog() override;

    // Reads the files' tags, makes the records and shows them all. useId3v2:
    // the tag source, the ID3v2 tag where a file has no ID3v1 tag.
    void load(const QStringList &paths, const QString &folder, const FromNameSettings &settings,
              bool useId3v2 = false);
    // The single-file tag editor behind "old ID3Tag" and "new ID3Tag";
    // without one both entries are disabled. useId3v2: the tag source of the
    // values it is handed (the ID3v2 tag where a file has no ID3v1 tag).
    // id3v2Write: what every write of the dialog does with ID3v2 tags.
    void setTagEditor(TagEditor *editor, bool useId3v2 = false,
                      id3v2::WriteMode id3v2Write = id3v2::WriteMode::Off);
    void setHelp(std::function<void()> showHelp) { m_showHelp = std::move(showHelp); }

    GridTable &table() { return m_table; }
    GridModel *model() const { return m_model; }
    QList<int> selectedRows() const;
    void selectRows(int first, int last);

    // The commands of the buttons and menus.
    void sortByColumn(int column);
    void unsort();
    void editCell(int row, int column);
    void editColumn(int column, bool selectedOnly);
    void numberSelection();
    void cleanSelection();
    void keepChanges();
    void filterChosen(int index);
    bool exchangeHeaders(int columnA, int columnB);
    void largerFont();
    void smallerFont();
    void openOldTag(int row);
    void openNewTag(int row);

    // Closing with values that were not written asks first.
    void reject() override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void applyLanguage();
    void fillView(const QString &filter);
    void closeEditor();
    void headerMenu(const QPoint &pos);
    void cellMenu(const QPoint &pos);
    void applyFont();
    // A change that fills the view anew (sort, numbers, write): the files
    // that were selected stay selected.
    void changeKeepingSelection(const std::function<void()> &change);
    void reportWrite(const QList<RowWriteResult> &results);
    void afterTagEditor(int row, const QString &path);

    Language m_language;
    Prompter &m_prompter;
    GridTable m_table;
    GridModel *m_model = nullptr;
    TagEditor *m_tagEditor = nullptr;
    bool m_editorUsesId3v2 = false;
    id3v2::WriteMode m_id3v2Write = id3v2::WriteMode::Off;
    std::function<void()> m_showHelp;
    int m_filterIndex = 0;
    int m_rowHeight = 18;
    // The open in-place editor: a cell, or a header for a column edit.
    int m_menuRow = -1;
    int m_menuColumn = -1;
    int m_pressedHeader = -1;

    QTableView *m_grid = nullptr;     // StringGrid1
    QComboBox *m_filter = nullptr;    // ComboBox1
    GridCellEditor *m_cells = nullptr; // Edit2, ComboBox2
    QLineEdit *m_candidates = nullptr;  // Edit1, hidden
    QPushButton *m_keep = nullptr;    // BitBtn3
    QPushButton *m_exit = nullptr;    // BitBtn4
    QPushButton *m_help = nullptr;    // BitBtn5
    QPushButton *m_larger = nullptr;  // SpeedButton1
    QPushButton *m_smaller = nullptr; // SpeedButton2
    QProgressBar *m_progress = nullptr; // ProgressBar1
    QLabel *m_folderLabel = nullptr;  // Label1
    QMenu *m_headerMenu = nullptr;    // PopupMenu1
    QMenu *m_cellMenu = nullptr;      // PopupMenu2
    QMenu *m_trackMenu = nullptr;     // PopupMenu3
};

// ".." and the end of the folder path from the third "/" counted from its end.
QString shortenedFolder(const QString &folder);

} // namespace kaz
