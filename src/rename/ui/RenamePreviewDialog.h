#pragma once

#include "rename/PreviewTable.h"

#include "platform/Language.h"

#include <QDialog>

#include <functional>

class QMenu;
class QPushButton;
class QTableWidget;

namespace kaz {

// The preview: one row per file with status, tag information, current
// name, previewed name and path. Files can be excluded; "&Rename" hands the
// rest to the real run through "fl_pre.kaz".
class RenamePreviewDialog : public QDialog
{
    Q_OBJECT
public:
    enum Outcome { Cancelled, Rename, Reinitialize };

    RenamePreviewDialog(PreviewTable table, qint64 notRenamed, Language language, QWidget *parent = nullptr);

    Outcome outcome() const { return m_outcome; }
    const PreviewTable &table() const { return m_table; }
    // Opens the help at the preview's context.
    void setHelp(std::function<void()> help) { m_help = std::move(help); }
    // The tag editor of the selected rows, when the program has one; it
    // returns the rows whose tags were saved.
    void setTagEditor(std::function<QList<qsizetype>(const QList<qsizetype> &)> editor);

    void toggleSelected();
    void showOnlyProblems();
    void requestReinitialize();
    void renameAndClose();

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void setUpGrid();
    void buildPopup();
    void connectButtons();
    void buildLayout();
    void applyLanguage();
    void fillGrid(const QList<qsizetype> &rows);
    QList<qsizetype> selectedTableRows() const;
    void editSelected();

    PreviewTable m_table;
    Language m_language;
    Outcome m_outcome = Cancelled;
    qint64 m_notRenamed;
    QList<qsizetype> m_shown; // grid row - 1 -> table row
    std::function<void()> m_help;
    std::function<QList<qsizetype>(const QList<qsizetype> &)> m_editor;
    QTableWidget *m_grid;
    QPushButton *m_exclude;
    QPushButton *m_reinit;
    QPushButton *m_errorsOnly;
    QPushButton *m_edit;
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QPushButton *m_helpButton;
    QMenu *m_popup;
};

} // namespace kaz
