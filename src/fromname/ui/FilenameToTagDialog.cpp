#include "FilenameToTagDialog.h"

#include "GridCellEditor.h"
#include "GridModel.h"

#include "fromname/GridWrite.h"
#include "fromname/NameSources.h"
#include "platform/Prompter.h"
#include "tags/Genres.h"
#include "tags/TagIO.h"
#include "widgets/HelpWindow.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTableView>
#include <QVBoxLayout>

namespace kaz {
namespace {

QAction *item(QMenu *menu, const char *name)
{
    auto *a = menu->addAction(QString());
    a->setObjectName(QLatin1String(name));
    return a;
}

QAction *findItem(QMenu *menu, const char *name)
{
    return menu->findChild<QAction *>(QLatin1String(name));
}

constexpr int kColumnWidths[GridColumns] = {41, 237, 40, 99, 102, 111, 114, 54, 106};
constexpr int kMaxRowHeight = 22;
constexpr int kMinRowHeight = 16;

} // namespace

QString shortenedFolder(const QString &folder)
{
    const QString path = folder.endsWith(QLatin1Char('/')) ? folder : folder + QLatin1Char('/');
    qsizetype at = path.size();
    for (int found = 0; found < 3; ++found) {
        at = path.lastIndexOf(QLatin1Char('/'), at - 1);
        if (at <= 0)
            return path;
    }
    return QStringLiteral("..") + path.mid(at);
}

FilenameToTagDialog::FilenameToTagDialog(Language language, Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_language(language)
    , m_prompter(prompter)
{
    setObjectName(QStringLiteral("TfilenametoID3Tag"));
    setModal(true);
    m_model = new GridModel(m_table, this);
    buildControls();
    buildMenus();
    applyLanguage();
    resize(1000, 560);
}

FilenameToTagDialog::~FilenameToTagDialog() = default;

void FilenameToTagDialog::buildControls()
{
    m_grid = new QTableView(this);
    m_grid->setObjectName(QStringLiteral("StringGrid1"));
    m_grid->setModel(m_model);
    m_grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_grid->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->verticalHeader()->hide();
    m_grid->setWordWrap(false);
    // A grabbed cell of a selected row is dragged onto another cell to exchange the two.
    m_grid->setDragEnabled(true);
    m_grid->setAcceptDrops(true);
    m_grid->setDragDropMode(QAbstractItemView::DragDrop);
    m_grid->setDefaultDropAction(Qt::CopyAction);
    m_grid->setDragDropOverwriteMode(true);
    m_grid->setContextMenuPolicy(Qt::CustomContextMenu);
    QHeaderView *header = m_grid->horizontalHeader();
    header->setSectionsClickable(true);
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    header->setHighlightSections(false);
    for (int c = 0; c < GridColumns; ++c)
        header->resizeSection(c, kColumnWidths[c]);
    header->viewport()->installEventFilter(this);
    m_grid->installEventFilter(this);
    m_grid->viewport()->installEventFilter(this);
    connect(header, &QHeaderView::sectionClicked, this, &FilenameToTagDialog::sortByColumn);
    connect(header, &QWidget::customContextMenuRequested, this, &FilenameToTagDialog::headerMenu);
    connect(m_grid, &QWidget::customContextMenuRequested, this, &FilenameToTagDialog::cellMenu);
    connect(m_grid, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &index) {
        if (index.column() <= ColFilename)
            openNewTag(index.row());
        else
            editCell(index.row(), index.column());
    });
    m_cells = new GridCellEditor(*this, *m_grid, *m_model, m_table);

    m_candidates = new QLineEdit(this);
    m_candidates->setObjectName(QStringLiteral("Edit1"));
    m_candidates->hide();

    m_filter = new QComboBox(this);
    m_filter->setObjectName(QStringLiteral("ComboBox1"));
    connect(m_filter, &QComboBox::activated, this, &FilenameToTagDialog::filterChosen);
    m_keep = new QPushButton(this);
    m_keep->setObjectName(QStringLiteral("BitBtn3"));
    connect(m_keep, &QPushButton::clicked, this, &FilenameToTagDialog::keepChanges);
    m_exit = new QPushButton(this);
    m_exit->setObjectName(QStringLiteral("BitBtn4"));
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    m_help = new QPushButton(this);
    m_help->setObjectName(QStringLiteral("BitBtn5"));
    connect(m_help, &QPushButton::clicked, this, [this] {
        if (m_showHelp)
            m_showHelp();
    });
    addHelpKey(this, [this] {
        if (m_showHelp)
            m_showHelp();
    });
    m_larger = new QPushButton(QStringLiteral("A+"), this);
    m_larger->setObjectName(QStringLiteral("SpeedButton1"));
    m_smaller = new QPushButton(QStringLiteral("A-"), this);
    m_smaller->setObjectName(QStringLiteral("SpeedButton2"));
    for (QPushButton *b : {m_larger, m_smaller}) {
        b->setFixedWidth(32);
        b->setAutoDefault(false);
    }
    connect(m_larger, &QPushButton::clicked, this, &FilenameToTagDialog::largerFont);
    connect(m_smaller, &QPushButton::clicked, this, &FilenameToTagDialog::smallerFont);
    for (QPushButton *b : {m_keep, m_exit, m_help})
        b->setAutoDefault(false);
    m_progress = new QProgressBar(this);
    m_progress->setObjectName(QStringLiteral("ProgressBar1"));
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(12);
    m_folderLabel = new QLabel(this);
    m_folderLabel->setObjectName(QStringLiteral("Label1"));

    auto *top = new QHBoxLayout;
    top->addWidget(m_folderLabel, 1);
    top->addWidget(m_filter);
    top->addWidget(m_larger);
    top->addWidget(m_smaller);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(m_help);
    bottom->addWidget(m_keep, 1);
    bottom->addWidget(m_exit);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->setSpacing(3);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);
    layout->addWidget(m_progress);
    layout->addLayout(bottom);
    applyFont();
}

void FilenameToTagDialog::buildMenus()
{
    m_headerMenu = new QMenu(this);
    m_headerMenu->setObjectName(QStringLiteral("PopupMenu1"));
    connect(item(m_headerMenu, "unsort1"), &QAction::triggered, this, &FilenameToTagDialog::unsort);
    m_headerMenu->addSeparator();
    connect(item(m_headerMenu, "editcolumnforallfiles1"), &QAction::triggered, this,
            [this] { editColumn(m_menuColumn, false); });
    connect(item(m_headerMenu, "editcolumnforselectedfiles1"), &QAction::triggered, this,
            [this] { editColumn(m_menuColumn, true); });

    m_trackMenu = new QMenu(this);
    m_trackMenu->setObjectName(QStringLiteral("PopupMenu3"));
    connect(item(m_trackMenu, "unsort2"), &QAction::triggered, this, &FilenameToTagDialog::unsort);
    m_trackMenu->addSeparator();
    connect(item(m_trackMenu, "generateincreasingnumbers1"), &QAction::triggered, this,
            &FilenameToTagDialog::numberSelection);
    connect(item(m_trackMenu, "cleannumbers1"), &QAction::triggered, this, &FilenameToTagDialog::cleanSelection);

    m_cellMenu = new QMenu(this);
    m_cellMenu->setObjectName(QStringLiteral("PopupMenu2"));
    connect(item(m_cellMenu, "edit1"), &QAction::triggered, this, [this] { editCell(m_menuRow, m_menuColumn); });
    m_cellMenu->addSeparator();
    connect(item(m_cellMenu, "oldID3Tag1"), &QAction::triggered, this, [this] { openOldTag(m_menuRow); });
    connect(item(m_cellMenu, "newID3Tag1"), &QAction::triggered, this, [this] { openNewTag(m_menuRow); });
    m_cellMenu->addSeparator();
    item(m_cellMenu, "cancel1");
    setTagEditor(nullptr);
}

void FilenameToTagDialog::applyLanguage()
{
    const Language l = m_language;
    setWindowTitle(text(l, "Filename to ID3Tag", "Dateiname nach ID3Tag"));
    m_keep->setText(text(l, "Keep changes!", "Änderungen übernehmen!"));
    m_exit->setText(text(l, "E&xit", "E&nde"));
    m_help->setText(text(l, "Help", "Hilfe"));
    m_larger->setToolTip(text(l, "larger font", "größere Schrift"));
    m_smaller->setToolTip(text(l, "smaller font", "kleinere Schrift"));
    findItem(m_headerMenu, "unsort1")->setText(text(l, "unsort", "Unsortiert"));
    findItem(m_headerMenu, "editcolumnforallfiles1")->setText(text(l, "edit column for all files", "Spalte für alle Dateien ändern"));
    findItem(m_headerMenu, "editcolumnforselectedfiles1")
        ->setText(text(l, "edit column for selected files", "Spalte für ausgewählte Dateien ändern"));
    findItem(m_trackMenu, "unsort2")->setText(text(l, "unsort", "Unsortiert"));
    findItem(m_trackMenu, "generateincreasingnumbers1")
        ->setText(text(l, "generate increasing numbers for selection", "aufsteigende Nummern für Auswahl erzeugen"));
    findItem(m_trackMenu, "cleannumbers1")->setText(text(l, "clean numbers for selection", "Nummern der Auswahl löschen"));
    findItem(m_cellMenu, "edit1")->setText(text(l, "edit", "ändern"));
    findItem(m_cellMenu, "oldID3Tag1")->setText(text(l, "old ID3Tag", "alter ID3Tag"));
    findItem(m_cellMenu, "newID3Tag1")->setText(text(l, "new ID3Tag", "neuer ID3Tag"));
    findItem(m_cellMenu, "cancel1")->setText(text(l, "cancel", "Abbruch"));
    m_model->setLanguage(l);
}

void FilenameToTagDialog::setTagEditor(TagEditor *editor, bool useId3v2, id3v2::WriteMode id3v2Write)
{
    m_tagEditor = editor;
    m_editorUsesId3v2 = useId3v2;
    m_id3v2Write = id3v2Write;
    findItem(m_cellMenu, "oldID3Tag1")->setEnabled(editor != nullptr);
    findItem(m_cellMenu, "newID3Tag1")->setEnabled(editor != nullptr);
}

void FilenameToTagDialog::load(const QStringList &paths, const QString &folder, const FromNameSettings &settings,
                               bool useId3v2)
{
    m_folderLabel->setText(shortenedFolder(folder));
    m_folderLabel->setToolTip(folder);
    m_progress->setRange(0, qMax<int>(1, int(paths.size())));
    const bool withDates = settings.useYear && settings.yearSource == YearSource::FileDate;
    const QList<NameSource> sources = readNameSources(paths, defaultTextCodec(), withDates, [this](int done, int) {
        if (done % 256 == 0)
            m_progress->setValue(done);
    }, useId3v2);
    const Extraction extraction = extractRecords(sources, settings, QDate::currentDate().year());
    m_candidates->setText(extraction.candidates);
    m_table = GridTable(extraction.records);
    m_filter->clear();
    m_filter->addItem(text(m_language, "All", "Alle"));
    // A blank is shown in quotes, so that the entry can be seen.
    for (const QString &d : extraction.delimiters)
        m_filter->addItem(d.startsWith(QLatin1Char(' ')) || d.endsWith(QLatin1Char(' ')) ? u'\'' + d + u'\'' : d, d);
    m_filterIndex = 0;
    fillView({});
    m_progress->setValue(0);
    m_grid->setFocus();
    if (m_table.rowCount() > 0)
        selectRows(0, 0);
}

void FilenameToTagDialog::fillView(const QString &filter)
{
    closeEditor();
    // The records know whether their files have a tag: they were made from
    // the tags just read, and writes and the tag editor keep them up to date.
    m_table.fill(filter, {});
    m_model->reset();
}

QList<int> FilenameToTagDialog::selectedRows() const
{
    QList<int> rows;
    for (const QModelIndex &i : m_grid->selectionModel()->selectedRows())
        rows << i.row();
    std::sort(rows.begin(), rows.end());
    return rows;
}

void FilenameToTagDialog::selectRows(int first, int last)
{
    m_grid->clearSelection();
    m_grid->setCurrentIndex(m_model->index(first, 0));
    m_grid->selectionModel()->select(QItemSelection(m_model->index(first, 0), m_model->index(last, GridColumns - 1)),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

void FilenameToTagDialog::changeKeepingSelection(const std::function<void()> &change)
{
    QSet<int> records;
    for (int row : selectedRows())
        records.insert(m_table.rows()[row].record);
    const int currentRecord = m_grid->currentIndex().isValid() && m_grid->currentIndex().row() < m_table.rowCount()
        ? m_table.rows()[m_grid->currentIndex().row()].record
        : -1;
    change();
    m_model->reset();
    QItemSelection selection;
    for (int row = 0; row < m_table.rowCount(); ++row) {
        const int record = m_table.rows()[row].record;
        if (record == currentRecord)
            m_grid->selectionModel()->setCurrentIndex(m_model->index(row, 0), QItemSelectionModel::NoUpdate);
        if (records.contains(record))
            selection.select(m_model->index(row, 0), m_model->index(row, GridColumns - 1));
    }
    m_grid->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
}

void FilenameToTagDialog::sortByColumn(int column)
{
    closeEditor();
    changeKeepingSelection([&] { m_table.sortBy(column); });
}

void FilenameToTagDialog::unsort()
{
    closeEditor();
    changeKeepingSelection([&] { m_table.unsort(); });
}

void FilenameToTagDialog::editCell(int row, int column)
{
    m_cells->editCell(row, column);
}

void FilenameToTagDialog::editColumn(int column, bool selectedOnly)
{
    const QList<int> rows = selectedOnly ? selectedRows() : QList<int>();
    if (selectedOnly && rows.isEmpty())
        return;
    m_cells->editColumn(column, rows);
}

void FilenameToTagDialog::closeEditor()
{
    m_cells->close();
}

void FilenameToTagDialog::numberSelection()
{
    closeEditor();
    changeKeepingSelection([&] { m_table.numberTracks(selectedRows()); });
}

void FilenameToTagDialog::cleanSelection()
{
    closeEditor();
    changeKeepingSelection([&] { m_table.clearTracks(selectedRows()); });
}

bool FilenameToTagDialog::exchangeHeaders(int columnA, int columnB)
{
    if (!m_table.exchangeHeaders(columnA, columnB))
        return false;
    Q_EMIT m_model->headerDataChanged(Qt::Horizontal, ColTitle, ColAlbum);
    return true;
}

void FilenameToTagDialog::headerMenu(const QPoint &pos)
{
    QHeaderView *header = m_grid->horizontalHeader();
    m_menuColumn = header->logicalIndexAt(pos);
    if (m_menuColumn == ColTrack)
        m_trackMenu->popup(header->mapToGlobal(pos));
    else if (m_menuColumn >= ColTitle)
        m_headerMenu->popup(header->mapToGlobal(pos));
}

void FilenameToTagDialog::cellMenu(const QPoint &pos)
{
    const QModelIndex index = m_grid->indexAt(pos);
    if (!index.isValid())
        return;
    m_menuRow = index.row();
    m_menuColumn = index.column();
    findItem(m_cellMenu, "edit1")->setEnabled(index.column() >= ColTrack);
    m_cellMenu->popup(m_grid->viewport()->mapToGlobal(pos));
}

void FilenameToTagDialog::keepChanges()
{
    closeEditor();
    const QString question
        = text(m_language, "Generate tags for selected files? (Yes)\n\rFor all files press \"All\".",
               "Tags für selektierte Dateien generieren? (Ja)\n\rVerarbeitung aller Dateien mit \"Alles\".");
    const Button answer = m_prompter.ask(MessageKind::Information, ButtonSet::YesAbortAll, question);
    if (answer != Button::Yes && answer != Button::All)
        return;
    QList<int> rows;
    if (answer == Button::Yes) {
        rows = selectedRows();
        if (rows.isEmpty()) {
            m_prompter.inform(MessageKind::Information,
                              text(m_language, "No file is selected: no tag was written.\n\rSelect the rows to write first.",
                                   "Es ist keine Datei ausgewählt: kein Tag wurde geschrieben.\n\rBitte zuerst die zu "
                                   "schreibenden Zeilen auswählen."));
            return;
        }
    } else {
        for (int r = 0; r < m_table.rowCount(); ++r)
            rows << r;
    }
    m_progress->setRange(0, qMax<int>(1, int(rows.size())));
    QList<RowWriteResult> results;
    changeKeepingSelection([&] {
        results = m_table.write(rows, defaultTextCodec(), {}, [this](int done, int) {
            m_progress->setValue(done);
            QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        }, m_id3v2Write);
    });
    m_progress->setValue(0);
    reportWrite(results);
}

void FilenameToTagDialog::reportWrite(const QList<RowWriteResult> &results)
{
    QStringList lines;
    const Language l = m_language;
    for (const RowWriteResult &r : results) {
        const QString name = r.path.section(QLatin1Char('/'), -1);
        if (!r.written)
            lines << name + text(l, ": could not be written (", ": konnte nicht geschrieben werden (") + r.status.errorText()
                         + QLatin1Char(')');
        if (r.trackDropped)
            lines << name + text(l, ": the track is no number from 1 to 255 and was not written",
                                 ": die Liednummer ist keine Zahl von 1 bis 255 und wurde nicht geschrieben");
        if (r.genreKept)
            lines << name + text(l, ": no genre name, the genre was kept", ": kein Genre-Name, das Genre blieb erhalten");
    }
    if (lines.isEmpty())
        return;
    const qsizetype total = lines.size();
    if (total > 20) {
        lines = lines.mid(0, 20);
        lines << text(l, "... and %1 more", "... und %1 weitere").arg(total - 20);
    }
    m_prompter.inform(MessageKind::Warning, text(l, "Not every tag was written as shown:\n\r\n\r",
                                                 "Nicht jeder Tag wurde wie gezeigt geschrieben:\n\r\n\r")
                                                + lines.join(QStringLiteral("\n\r")));
}

void FilenameToTagDialog::filterChosen(int index)
{
    if (index < 0 || index == m_filterIndex)
        return;
    if (!m_table.changesKept()) {
        const Button answer = m_prompter.ask(
            MessageKind::Confirmation, ButtonSet::YesNo,
            QStringLiteral("You did not keep the changes.\n\rIf you now change the view then all made changes will be "
                           "lost!\n\r\n\rChange view?"));
        if (answer != Button::Yes) {
            m_filter->setCurrentIndex(m_filterIndex);
            return;
        }
    }
    m_table.forgetKept();
    m_filterIndex = index;
    m_filter->setCurrentIndex(index);
    fillView(index == 0 ? QString() : m_filter->itemData(index).toString());
}

void FilenameToTagDialog::reject()
{
    closeEditor();
    if (m_table.hasUnkeptEdits()) {
        const Button answer = m_prompter.ask(
            MessageKind::Confirmation, ButtonSet::YesNo,
            text(m_language,
                 "You did not keep the changes.\n\rIf you now close the window then all made changes will be lost!"
                 "\n\r\n\rClose anyway?",
                 "Die Änderungen wurden nicht übernommen.\n\rWenn Sie das Fenster jetzt schließen, gehen alle "
                 "Änderungen verloren!\n\r\n\rTrotzdem schließen?"));
        if (answer != Button::Yes)
            return;
    }
    QDialog::reject();
}

void FilenameToTagDialog::applyFont()
{
    m_grid->verticalHeader()->setMinimumSectionSize(kMinRowHeight);
    m_grid->verticalHeader()->setDefaultSectionSize(m_rowHeight);
    m_larger->setEnabled(m_rowHeight < kMaxRowHeight);
    m_smaller->setEnabled(m_rowHeight > kMinRowHeight);
}

void FilenameToTagDialog::largerFont()
{
    if (m_rowHeight >= kMaxRowHeight)
        return;
    m_rowHeight += 2;
    QFont f = m_grid->font();
    f.setPointSizeF(f.pointSizeF() + 2);
    m_grid->setFont(f);
    applyFont();
}

void FilenameToTagDialog::smallerFont()
{
    if (m_rowHeight <= kMinRowHeight)
        return;
    m_rowHeight -= 2;
    QFont f = m_grid->font();
    f.setPointSizeF(qMax(4.0, f.pointSizeF() - 2));
    m_grid->setFont(f);
    applyFont();
}

void FilenameToTagDialog::afterTagEditor(int row, const QString &path)
{
    // The editor may have renamed the file.
    if (path != m_table.records()[m_table.rows()[row].record].path)
        m_table.setPath(row, path);
    m_table.setTagged(row, hasTagOrId3v2(path, m_editorUsesId3v2));
    m_model->rowChanged(row);
}

void FilenameToTagDialog::openOldTag(int row)
{
    if (!m_tagEditor || row < 0 || row >= m_table.rowCount())
        return;
    QString path = m_table.records()[m_table.rows()[row].record].path;
    TagContext context;
    context.prompter = &m_prompter;
    context.language = m_language;
    context.useId3v2 = m_editorUsesId3v2;
    context.id3v2Write = m_id3v2Write;
    context.editor = m_tagEditor;
    get_id3tag(path, true, context);
    afterTagEditor(row, path);
}

void FilenameToTagDialog::openNewTag(int row)
{
    if (!m_tagEditor || row < 0 || row >= m_table.rowCount())
        return;
    GridRecord record = m_table.records()[m_table.rows()[row].record];
    record.cells = m_table.rows()[row].cells;
    QString path = record.path;
    TagContext context;
    context.prompter = &m_prompter;
    context.language = m_language;
    context.useId3v2 = m_editorUsesId3v2;
    context.id3v2Write = m_id3v2Write;
    const TagRecord current = readTag(path, context);
    const RowValues values = rowValues(record, m_table.fieldColumns(), current);
    TagOverride override;
    override.title = values.values.title;
    override.artist = values.values.artist;
    override.album = values.values.album;
    override.comment = values.values.comment;
    override.year = values.values.year;
    override.genre = values.values.genre;
    override.forceGenre = true;
    override.trackText = values.values.trackText;
    context.override = &override;
    context.editor = m_tagEditor;
    get_id3tag(path, true, context);
    afterTagEditor(row, path);
}

bool FilenameToTagDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_grid && event->type() == QEvent::KeyPress) {
        // Typing on a cell edits it at once.
        auto *key = static_cast<QKeyEvent *>(event);
        const QModelIndex current = m_grid->currentIndex();
        if (current.isValid() && current.column() >= ColTrack && !key->text().isEmpty() && key->text()[0].isPrint()
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            m_cells->typeInto(current.row(), current.column(), key->text());
            return true;
        }
    }
    if (watched == m_grid->viewport() && event->type() == QEvent::MouseButtonPress)
        m_model->setGrabbedCell(m_grid->indexAt(static_cast<QMouseEvent *>(event)->position().toPoint()));
    if (watched == m_grid->horizontalHeader()->viewport()) {
        // Dragging a header of columns 3 to 5 onto another exchanges the two.
        QHeaderView *header = m_grid->horizontalHeader();
        if (event->type() == QEvent::MouseButtonPress) {
            // A press on a section border resizes the column instead.
            const bool border = header->viewport()->cursor().shape() == Qt::SplitHCursor;
            m_pressedHeader = border ? -1 : header->logicalIndexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
        } else if (event->type() == QEvent::MouseButtonRelease) {
            const int target = header->logicalIndexAt(static_cast<QMouseEvent *>(event)->position().toPoint());
            const int from = m_pressedHeader;
            m_pressedHeader = -1;
            // The header sees the release too: it clicks only when press and
            // release hit the same section.
            if (from != target)
                exchangeHeaders(from, target);
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace kaz
