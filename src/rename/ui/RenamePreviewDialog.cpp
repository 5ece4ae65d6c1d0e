#include "RenamePreviewDialog.h"

#include "rename/RenameTexts.h"

#include <QAction>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QResizeEvent>
#include <QScrollBar>
#include <QTimer>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kaz {
namespace {

constexpr int kColumnWidths[5] = {50, 80, 100, 350, 500};

} // namespace

RenamePreviewDialog::RenamePreviewDialog(PreviewTable table, qint64 notRenamed, Language language, QWidget *parent)
    : QDialog(parent)
    , m_table(std::move(table))
    , m_language(language)
    , m_notRenamed(notRenamed)
    , m_grid(new QTableWidget(this))
    , m_exclude(new QPushButton(this))
    , m_reinit(new QPushButton(this))
    , m_errorsOnly(new QPushButton(this))
    , m_edit(new QPushButton(this))
    , m_ok(new QPushButton(this))
    , m_cancel(new QPushButton(this))
    , m_helpButton(new QPushButton(this))
    , m_popup(new QMenu(this))
{
    setObjectName(QStringLiteral("Tpreview_dlg"));
    setSizeGripEnabled(true);
    setMinimumSize(561, 350);
    resize(760, 460);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_exclude->setObjectName(QStringLiteral("Button1"));
    m_reinit->setObjectName(QStringLiteral("Button2"));
    m_errorsOnly->setObjectName(QStringLiteral("BitBtn1"));
    m_edit->setObjectName(QStringLiteral("Button3"));
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_helpButton->setObjectName(QStringLiteral("HelpBtn"));
    m_popup->setObjectName(QStringLiteral("PopupMenu1"));
    m_edit->setEnabled(false);

    setUpGrid();
    buildPopup();
    connectButtons();
    buildLayout();

    m_table.numberDuplicates();
    m_table.markRows();
    applyLanguage();
    QList<qsizetype> all;
    for (qsizetype i = 0; i < m_table.rows().size(); ++i)
        all << i;
    fillGrid(all);
    if (m_grid->rowCount() > 0)
        m_grid->setCurrentCell(0, 0);
    m_ok->setFocus();
}

void RenamePreviewDialog::setUpGrid()
{
    m_grid->setColumnCount(5);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->verticalHeader()->setDefaultSectionSize(m_grid->fontMetrics().height() + 4);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    // Narrow columns show the beginning of their header, not its middle.
    m_grid->horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    m_grid->setWordWrap(false);
    for (int c = 0; c < 5; ++c)
        m_grid->setColumnWidth(c, kColumnWidths[c]);
}

void RenamePreviewDialog::buildPopup()
{
    auto addItem = [this](const char *name, auto slot) {
        auto *a = new QAction(this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        m_popup->addAction(a);
        return a;
    };
    addItem("excludefromrenaimg1", &RenamePreviewDialog::toggleSelected);
    addItem("reinitializepreview1", &RenamePreviewDialog::requestReinitialize);
    addItem("showonlyfileswitherrorsinID3Tag1", &RenamePreviewDialog::showOnlyProblems);
    addItem("showmodifyID3Tag1", &RenamePreviewDialog::editSelected)->setEnabled(false);
    // "select all" has always been in the menu without doing anything.
    QAction *selectAll = addItem("selectall1", [] {});
    selectAll->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    QAction *help = addItem("help1", [this] {
        if (m_help)
            m_help();
    });
    help->setShortcut(QKeySequence(Qt::Key_F1));
    addAction(help);
    connect(m_grid, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { m_popup->popup(m_grid->viewport()->mapToGlobal(pos)); });
    connect(m_grid, &QTableWidget::cellDoubleClicked, this, &RenamePreviewDialog::editSelected);
}

void RenamePreviewDialog::connectButtons()
{
    connect(m_exclude, &QPushButton::clicked, this, &RenamePreviewDialog::toggleSelected);
    connect(m_reinit, &QPushButton::clicked, this, &RenamePreviewDialog::requestReinitialize);
    connect(m_errorsOnly, &QPushButton::clicked, this, &RenamePreviewDialog::showOnlyProblems);
    connect(m_edit, &QPushButton::clicked, this, &RenamePreviewDialog::editSelected);
    connect(m_ok, &QPushButton::clicked, this, &RenamePreviewDialog::renameAndClose);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_helpButton, &QPushButton::clicked, this, [this] {
        if (m_help)
            m_help();
    });
}

void RenamePreviewDialog::buildLayout()
{
    // Exclude and edit take the left half, re-initialise and errors-only the right.
    auto *commands = new QGridLayout;
    commands->addWidget(m_exclude, 0, 0);
    commands->addWidget(m_reinit, 0, 1);
    commands->addWidget(m_edit, 1, 0);
    commands->addWidget(m_errorsOnly, 1, 1);
    commands->setColumnStretch(0, 1);
    commands->setColumnStretch(1, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(m_ok);
    bottom->addWidget(m_cancel);
    bottom->addWidget(m_helpButton);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_grid, 1);
    layout->addLayout(commands);
    layout->addLayout(bottom);
}

void RenamePreviewDialog::applyLanguage()
{
    const Language l = m_language;
    setWindowTitle(previewCaption(int(m_notRenamed), l));
    m_grid->setHorizontalHeaderLabels(PreviewTable::headers(l));
    m_grid->setToolTip(text(l, "rightclick for pop-up-menu", "Rechtsklick für Menü"));
    m_exclude->setText(text(l, "Exclude/include selected file for renaming",
                            "Ausschließen/Einschließen der ausgewählten Dateien"));
    m_reinit->setText(text(l, "Re-initialize preview", "Neu-Initialisierung der Vorschau"));
    m_reinit->setToolTip(text(l, "Click this after changing contents of ID3Tag!",
                              "Nach Änderung von ID3Tag-Inhalten hier klicken!"));
    m_errorsOnly->setText(text(l, "Show only files with errors in ID3Tag", "Zeige nur Dateien mit Fehler im ID3Tag"));
    m_edit->setText(text(l, "Edit &ID3Tag/filename", "&ID3Tag/Dateinamen ändern"));
    m_ok->setText(text(l, "&Rename", "&Umbenennen"));
    m_cancel->setText(text(l, "&Cancel", "&Abbruch"));
    m_helpButton->setText(text(l, "&Help", "&Hilfe"));
    const std::tuple<const char *, const char *, const char *> items[] = {
        {"excludefromrenaimg1", "exclude/include selected files", "ausgewählte Dateien ausschließen/einschließen"},
        {"reinitializepreview1", "Re-initialize preview", "Neu-Initialisierung der Vorschau"},
        {"showonlyfileswitherrorsinID3Tag1", "Show only files with errors in ID3Tag",
         "Zeige nur Dateien mit Fehler im ID3Tag"},
        {"showmodifyID3Tag1", "edit ID3Tag/filename", "ID3Tag/Dateinamen ändern"},
        {"selectall1", "select all", "alle auswählen"},
        {"help1", "help", "Hilfe"}};
    for (const auto &[name, english, german] : items)
        if (auto *a = findChild<QAction *>(QLatin1String(name)))
            a->setText(text(l, english, german));
}

void RenamePreviewDialog::setTagEditor(std::function<QList<qsizetype>(const QList<qsizetype> &)> editor)
{
    m_editor = std::move(editor);
    m_edit->setEnabled(bool(m_editor));
    if (auto *a = findChild<QAction *>(QStringLiteral("showmodifyID3Tag1")))
        a->setEnabled(bool(m_editor));
}

void RenamePreviewDialog::fillGrid(const QList<qsizetype> &rows)
{
    m_shown = rows;
    // An empty preview still shows one (empty) row.
    m_grid->setRowCount(int(qMax<qsizetype>(rows.size(), 1)));
    m_grid->clearContents();
    for (int r = 0; r < rows.size(); ++r) {
        const PreviewRow &row = m_table.rows().at(rows.at(r));
        const QString cells[5] = {row.status, row.info, row.currentName, row.previewedName, row.path};
        for (int c = 0; c < 5; ++c)
            m_grid->setItem(r, c, new QTableWidgetItem(cells[c]));
    }
}

QList<qsizetype> RenamePreviewDialog::selectedTableRows() const
{
    QList<qsizetype> rows;
    for (const QModelIndex &index : m_grid->selectionModel()->selectedRows())
        if (index.row() < m_shown.size())
            rows << m_shown.at(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

void RenamePreviewDialog::toggleSelected()
{
    for (const QModelIndex &index : m_grid->selectionModel()->selectedRows()) {
        if (index.row() >= m_shown.size())
            continue;
        const qsizetype row = m_shown.at(index.row());
        m_table.toggleExcluded(row, m_language);
        m_grid->item(index.row(), 0)->setText(m_table.rows().at(row).status);
    }
}

void RenamePreviewDialog::showOnlyProblems()
{
    const QList<qsizetype> rows = m_table.rowsWithProblems();
    if (!rows.isEmpty())
        fillGrid(rows);
}

void RenamePreviewDialog::requestReinitialize()
{
    m_outcome = Reinitialize;
    reject();
}

void RenamePreviewDialog::renameAndClose()
{
    QString problem;
    if (m_table.writeFilteredList(&problem) < 0) {
        // Without the list the run would rename the excluded files too.
        QMessageBox::critical(this, windowTitle(), problem);
        return;
    }
    m_outcome = Rename;
    accept();
}

void RenamePreviewDialog::editSelected()
{
    if (!m_editor)
        return;
    const QList<qsizetype> saved = m_editor(selectedTableRows());
    for (qsizetype row : saved) {
        m_table.rows()[row].info = renameText(RenameText::Modified, m_language);
        const qsizetype shown = m_shown.indexOf(row);
        if (shown >= 0)
            m_grid->item(int(shown), 1)->setText(m_table.rows().at(row).info);
    }
}

void RenamePreviewDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The status column first, however wide the path column is; after the
    // view has scrolled to its current cell.
    QTimer::singleShot(0, m_grid, [grid = m_grid] { grid->horizontalScrollBar()->setValue(0); });
}

void RenamePreviewDialog::resizeEvent(QResizeEvent *event)
{
    QDialog::resizeEvent(event);
    if (width() < 561)
        resize(566, height());
}

} // namespace kaz
