#include "FolderBrowser.h"

#include "browser/FolderCommands.h"
#include "browser/FolderRecovery.h"
#include "browser/ListingJob.h"
#include "widgets/RunFrame.h"

#include "platform/FolderListing.h"
#include "platform/Messages.h"
#include "platform/PathParts.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPalette>
#include <QProgressBar>
#include <QStyle>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>
#include <atomic>
#include <thread>

namespace kaz {
namespace {

QToolButton *smallButton(const char *name, QWidget *parent)
{
    auto *b = new QToolButton(parent);
    b->setToolButtonStyle(Qt::ToolButtonTextOnly);
    b->setObjectName(QLatin1String(name));
    b->setFocusPolicy(Qt::TabFocus);
    return b;
}

// Runs work on a thread of its own and waits for its result while the
// window's events go on being handled: reading a folder of 100,000 entries
// takes longer than a window may stand still.
QStringList whileEventsFlow(const std::function<QStringList()> &work)
{
    std::atomic<bool> done{false};
    QStringList result;
    std::thread thread([&] {
        result = work();
        done = true;
    });
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (done)
            loop.exit();
    });
    poll.start(1);
    if (!done)
        loop.exec();
    thread.join();
    return result;
}

} // namespace

FolderBrowser::FolderBrowser(RunFrame &runFrame, const QString &startFolder, QWidget *parent)
    : QWidget(parent)
    , m_runFrame(runFrame)
{
    setObjectName(QStringLiteral("Browser"));
    m_state.folder = QDir::cleanPath(startFolder.isEmpty() ? QDir::homePath() : startFolder);
    m_state.lastFolder = m_state.folder;
    buildFolderSide();
    buildFileSide();
    buildLayout();
}

FolderBrowser::~FolderBrowser()
{
    // A fill that still runs stops; its thread is waited for.
    if (m_job)
        m_job->cancel();
}

void FolderBrowser::buildFolderSide()
{
    m_driveBox = new QComboBox(this);
    m_driveBox->setObjectName(QStringLiteral("DriveComboBox1"));
    m_driveBox->installEventFilter(this);
    connect(m_driveBox, &QComboBox::activated, this, &FolderBrowser::driveChosen);

    m_folderList = new QListWidget(this);
    m_folderList->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_folderList->setContextMenuPolicy(Qt::CustomContextMenu);
    m_folderList->setIconSize(QSize(16, 16));
    m_folderList->viewport()->installEventFilter(this);
    connect(m_folderList, &QListWidget::itemClicked, this, &FolderBrowser::folderListClicked);
    connect(m_folderList, &QListWidget::itemActivated, this, [this](QListWidgetItem *item) {
        m_folderButton = Qt::LeftButton;
        folderListClicked(item);
    });
    connect(m_folderList, &QWidget::customContextMenuRequested, this, &FolderBrowser::folderPopup);

    m_includeSubdirs = new QCheckBox(this);
    m_includeSubdirs->setObjectName(QStringLiteral("CheckBox1"));
    connect(m_includeSubdirs, &QCheckBox::toggled, this, [this](bool on) {
        hideRenameEdit();
        m_state.includeSubdirectories = on;
        Q_EMIT listChanged();
    });

    m_folderEdit = new QLineEdit(this);
    m_folderEdit->setObjectName(QStringLiteral("RenameEdit"));
    m_folderEdit->hide();
    m_folderEdit->installEventFilter(this);
    connect(m_folderEdit, &QLineEdit::returnPressed, this, &FolderBrowser::finishFolderEdit);
    connect(m_folderEdit, &QLineEdit::textChanged, this, [this] {
        if (!m_folderEdit->hasFocus())
            hideRenameEdit();
    });
}

void FolderBrowser::buildFileSide()
{
    m_folderProgress = new QProgressBar(this);
    m_folderProgress->setObjectName(QStringLiteral("ProgressBar1"));
    m_fileProgress = new QProgressBar(this);
    m_fileProgress->setObjectName(QStringLiteral("ProgressBar2"));
    for (QProgressBar *bar : {m_folderProgress, m_fileProgress}) {
        bar->setRange(0, 100);
        bar->setValue(0);
        bar->setTextVisible(false);
        bar->setMaximumHeight(12);
        bar->installEventFilter(this);
    }

    m_maskButton = smallButton("MaskButton", this);
    connect(m_maskButton, &QToolButton::clicked, this, [this] {
        hideRenameEdit();
        setMaskState(nextMaskState(m_state.mask));
    });
    m_filterButton = smallButton("FilterButton", this);
    connect(m_filterButton, &QToolButton::clicked, this, [this] {
        hideRenameEdit();
        setTagFilter(nextTagFilter(m_state.filter));
    });
    // What "inv (*.mp3)" lists, beside the buttons while it does.
    m_maskLabel = new QLabel(this);
    m_maskLabel->setObjectName(QStringLiteral("Label4"));
    m_maskLabel->hide();
    m_sortButton = smallButton("SortButton", this);
    m_sortButton->setText(QStringLiteral("A..Z"));
    m_sortButton->setCheckable(true);
    // Down: sorted by letters; released: the natural order again.
    connect(m_sortButton, &QToolButton::clicked, this, [this](bool down) { setLetterSorted(down); });
    for (QToolButton *b : {m_maskButton, m_filterButton}) {
        b->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(b, &QWidget::customContextMenuRequested, this,
                [this, b](const QPoint &pos) { Q_EMIT maskMenuRequested(b->mapToGlobal(pos)); });
    }

    m_fileList = new QListWidget(this);
    m_fileList->setObjectName(QStringLiteral("FileListBox1"));
    m_fileList->setSelectionMode(QAbstractItemView::ExtendedSelection);
    // Rows of one size make 100,000 names quick to show (see fitRowSize).
    m_fileList->setUniformItemSizes(true);
    m_fileList->installEventFilter(this);
    m_fileList->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_fileList, &QListWidget::itemSelectionChanged, this, &FolderBrowser::fileListSelectionChanged);
    connect(m_fileList, &QListWidget::itemActivated, this, &FolderBrowser::fileActivated);
    connect(m_fileList, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { Q_EMIT fileMenuRequested(m_fileList->viewport()->mapToGlobal(pos)); });
}

void FolderBrowser::buildLayout()
{
    // Left: drive box, folder list, include-subdirectories box with the
    // rename edit in the same place, folder progress bar.
    auto *left = new QVBoxLayout;
    left->setSpacing(3);
    left->addWidget(m_driveBox);
    left->addWidget(m_folderList, 1);
    auto *checkCell = new QGridLayout;
    checkCell->setContentsMargins(0, 0, 0, 0);
    checkCell->addWidget(m_includeSubdirs, 0, 0);
    checkCell->addWidget(m_folderEdit, 0, 0);
    left->addLayout(checkCell);
    left->addWidget(m_folderProgress);

    m_buttonRow = new QHBoxLayout;
    m_buttonRow->setSpacing(2);
    m_maskButton->setMinimumWidth(84);
    m_filterButton->setMinimumWidth(72);
    for (QToolButton *b : {m_maskButton, m_filterButton, m_sortButton})
        m_buttonRow->addWidget(b);
    m_buttonRow->addWidget(m_maskLabel);
    m_buttonRow->addStretch(1);
    auto *right = new QVBoxLayout;
    right->setSpacing(3);
    right->addLayout(m_buttonRow);
    right->addWidget(m_fileList, 1);
    right->addWidget(m_fileProgress);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);
}

void FolderBrowser::addToolButton(QToolButton *button)
{
    button->setParent(this);
    m_buttonRow->insertWidget(m_buttonRow->count() - 1, button);
}

QToolButton *FolderBrowser::addTextButton(const char *name, const QString &text)
{
    QToolButton *button = smallButton(name, this);
    button->setText(text);
    addToolButton(button);
    return button;
}

void FolderBrowser::registerLocks(RunFrame &frame)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_includeSubdirs, m_folderEdit, m_maskButton, m_filterButton,
                                                       m_sortButton, m_driveBox, m_folderList})
        frame.addLocked(w);
}

void FolderBrowser::setLanguage(Language language)
{
    m_language = language;
    // Re-labels the filter button; the filter itself stays.
    updateMaskButtons();
}

void FolderBrowser::setFileListFont(const QFont &font)
{
    m_fileList->setFont(font);
}

void FolderBrowser::setIncludeSubdirectoriesEnabled(bool enabled)
{
    m_includeSubdirs->setEnabled(enabled && !m_folderTreeMode);
}

void FolderBrowser::setFolderTreeMode(bool on)
{
    m_folderTreeMode = on;
    m_includeSubdirs->setChecked(on);
    m_includeSubdirs->setEnabled(!on);
    QPalette colours = palette();
    if (on) {
        colours.setColor(QPalette::Text, colours.color(QPalette::Disabled, QPalette::Text));
        colours.setColor(QPalette::Base, colours.color(QPalette::Button));
        m_fileList->blockSignals(true);
        m_fileList->clearSelection();
        m_fileList->blockSignals(false);
        syncSelection();
    }
    m_fileList->setPalette(colours);
    m_fileList->setEnabled(!on);
}

bool FolderBrowser::running() const
{
    return m_runFrame.running();
}

void FolderBrowser::fillDrives()
{
    m_driveBox->clear();
    m_driveBox->addItems(userVolumeRoots());
    const int index = m_driveBox->findText(volumeRootOf(m_state.folder));
    if (index >= 0)
        m_driveBox->setCurrentIndex(index);
}

void FolderBrowser::driveChosen(int index)
{
    hideRenameEdit();
    const QString root = m_driveBox->itemText(index);
    if (!root.isEmpty())
        openFolder(root);
}

void FolderBrowser::fillFolderList()
{
    const int generation = ++m_folderListGeneration;
    m_folderList->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    const QString &folder = m_state.folder;
    // The way from the root down to the current folder, then its sub-folders.
    QStringList chain;
    for (QString f = folder; !f.isEmpty();) {
        chain.prepend(f);
        if (f == QLatin1String("/"))
            break;
        const QString parent = parentFolder(f);
        f = parent.size() > 1 ? parent.chopped(1) : parent;
    }
    int depth = 0;
    for (const QString &f : chain) {
        auto *item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) +
                                                   (f == QLatin1String("/") ? f : fileNameOf(f)));
        item->setData(Qt::UserRole, f);
        m_folderList->addItem(item);
        ++depth;
    }
    if (auto *current = m_folderList->item(m_folderList->count() - 1))
        m_folderList->setCurrentItem(current);
    const QString base = folder == QLatin1String("/") ? QString() : folder;
    // Hidden folders and links are not shown.
    const QStringList subfolders = whileEventsFlow([folder] {
        QStringList names;
        for (const FolderEntry &entry : listFolder(folder))
            if (entry.kind == FolderEntry::Folder && !entry.name.startsWith(QLatin1Char('.')))
                names << entry.name;
        sortIgnoringCase(names);
        return names;
    });
    // A folder opened meanwhile has filled the list already.
    if (generation != m_folderListGeneration)
        return;
    for (const QString &name : subfolders) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + name);
        item->setData(Qt::UserRole, QString(base + QLatin1Char('/') + name));
        m_folderList->addItem(item);
    }
}

void FolderBrowser::fillFileList()
{
    if (m_filling) {
        // Another folder, mask or filter while a fill runs: it starts over.
        m_refillPending = true;
        if (m_job)
            m_job->cancel();
        m_fileList->clear();
        m_state.files.clear();
        m_state.selectedRows.clear();
        return;
    }
    m_filling = true;
    bool complete = true;
    do {
        m_refillPending = false;
        complete = fillOnce();
    } while (m_refillPending && complete);
    if (m_job)
        m_job->cancel();
    m_job.reset();
    m_fileProgress->setMaximum(100);
    m_fileProgress->setValue(0);
    m_filling = false;
    syncSelection();
    Q_EMIT listFilled();
}

bool FolderBrowser::fillOnce()
{
    m_fileList->clear();
    m_state.files.clear();
    m_state.selectedRows.clear();
    m_widestRow = m_widestLength = -1;
    m_fileProgress->setMaximum(100);
    m_fileProgress->setValue(0);
    m_job = std::make_unique<ListingJob>(ListingRequest{m_state.folder, m_state.mask, m_state.filter,
                                                        m_state.useId3v2, m_state.letterSorted});
    QStringList waiting;
    qsizetype next = 0;
    QEventLoop loop;
    QTimer step;
    step.setSingleShot(true);
    connect(&step, &QTimer::timeout, &loop, [&] {
        // Read first: once the job is finished, everything it found is there to take.
        const bool finished = m_job->finished();
        const bool more = !m_job->cancelled() && showFound(waiting, next);
        if (m_eventsProcessed)
            m_eventsProcessed();
        if (finished && !more)
            loop.exit(1);
        else
            step.start(more ? 0 : 5);
    });
    step.start(0);
    // Anything but our own exit: the application quits.
    return loop.exec() == 1;
}

bool FolderBrowser::showFound(QStringList &waiting, qsizetype &next)
{
    if (next == waiting.size()) {
        waiting = m_job->takeFound();
        next = 0;
    } else {
        waiting.append(m_job->takeFound());
    }
    // Rows go in for a few milliseconds at a time, so that events wait no longer.
    constexpr qsizetype kSlice = 1000;
    QElapsedTimer clock;
    clock.start();
    while (next < waiting.size() && clock.elapsed() < 15) {
        const qsizetype n = qMin(kSlice, waiting.size() - next);
        appendRows(waiting.mid(next, n));
        next += n;
    }
    // The tags read of all there are; without the filter the rows shown of all found.
    const qint64 total = m_job->total();
    const qint64 max = total > 0 ? total : (next < waiting.size() ? waiting.size() : 0);
    if (max > 0) {
        m_fileProgress->setMaximum(int(max));
        m_fileProgress->setValue(int(total > 0 ? m_job->position() : next));
    }
    return next < waiting.size();
}

void FolderBrowser::appendRows(const QStringList &names)
{
    // The list's font is of fixed width: the longest name is the widest.
    const int first = m_fileList->count();
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (names.at(i).size() > m_widestLength) {
            m_widestLength = int(names.at(i).size());
            m_widestRow = first + int(i);
        }
    }
    QListWidgetItem *sized = m_fileList->count() > 0 ? m_fileList->item(m_fileList->count() - 1) : nullptr;
    m_fileList->addItems(names);
    m_state.files.append(names);
    if (sized)
        sized->setData(Qt::SizeHintRole, QVariant());
    fitRowSize();
}

void FolderBrowser::fitRowSize()
{
    // The list gives every row the size of its last one, which keeps a long
    // list quick to fill; that row takes the widest name's size, so that
    // every name can be scrolled to.
    const int count = m_fileList->count();
    if (count == 0 || m_widestRow < 0 || m_widestRow >= count)
        return;
    QListWidgetItem *last = m_fileList->item(count - 1);
    last->setData(Qt::SizeHintRole, QVariant());
    last->setSizeHint(m_fileList->sizeHintForIndex(m_fileList->model()->index(m_widestRow, 0)));
}

void FolderBrowser::refillFileList()
{
    fillFolderList();
    fillFileList();
}

void FolderBrowser::openFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (!QFileInfo(clean).isDir())
        return;
    m_state.folder = clean;
    const int drive = m_driveBox->findText(volumeRootOf(clean));
    if (drive >= 0)
        m_driveBox->setCurrentIndex(drive);
    refillFileList();
}

void FolderBrowser::folderListClicked(QListWidgetItem *item)
{
    hideRenameEdit();
    if (!item || running() || m_folderButton != Qt::LeftButton)
        return;
    const QString folder = item->data(Qt::UserRole).toString();
    if (folder != m_state.folder)
        openFolder(folder);
}

void FolderBrowser::folderUpdate()
{
    fillFolderList();
    writeSiblingList(m_state.folder);
    Q_EMIT listChanged();
}

void FolderBrowser::release()
{
    // A fill that runs stops where it is.
    m_refillPending = false;
    if (m_job)
        m_job->cancel();
    m_fileList->clear();
    m_folderList->clear();
    m_state.files.clear();
    m_state.selectedRows.clear();
}

void FolderBrowser::setMaskState(MaskState state)
{
    m_state.mask = state;
    updateMaskButtons();
    fillFileList();
}

void FolderBrowser::setTagFilter(TagFilter filter)
{
    m_state.filter = filter;
    updateMaskButtons();
    fillFileList();
}

void FolderBrowser::setUseId3v2(bool on)
{
    if (m_state.useId3v2 == on)
        return;
    m_state.useId3v2 = on;
    if (m_state.filter != TagFilter::All && !m_state.folder.isEmpty())
        fillFileList();
}

void FolderBrowser::setLetterSorted(bool sorted)
{
    m_state.letterSorted = sorted;
    if (m_sortButton->isChecked() != sorted)
        m_sortButton->setChecked(sorted);
    fillFileList();
}

void FolderBrowser::updateMaskButtons()
{
    static const char *const masks[] = {"*.mp3", "inv (*.mp3)", "*.*"};
    m_maskButton->setText(QLatin1String(masks[int(m_state.mask)]));
    const char *const filters[3][2] = {{"all", "alle"}, {"tagged", "mit Tag"}, {"untagged", "ohne Tag"}};
    const int filter = int(m_state.filter);
    m_filterButton->setText(QString::fromUtf8(tr2(m_language, filters[filter][0], filters[filter][1])));
    m_maskLabel->setText(QString::fromUtf8(tr2(m_language, "*.*  without *.mp3", "*.*  ohne *.mp3")));
    m_maskLabel->setVisible(m_state.mask == MaskState::NotMp3);
    if (!running())
        m_filterButton->setEnabled(m_state.mask == MaskState::Mp3);
}

void FolderBrowser::syncSelection()
{
    QList<int> rows;
    for (const QModelIndex &index : m_fileList->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    m_state.selectedRows = rows;
}

void FolderBrowser::fileListSelectionChanged()
{
    syncSelection();
    if (!m_filling)
        Q_EMIT selectionChanged();
}

bool FolderBrowser::selectFirstIfNone()
{
    if (m_fileList->count() == 0)
        return false;
    if (m_fileList->selectionModel()->selectedRows().isEmpty())
        m_fileList->item(0)->setSelected(true);
    syncSelection();
    return true;
}

void FolderBrowser::selectAll()
{
    m_fileList->blockSignals(true);
    m_fileList->selectAll();
    m_fileList->blockSignals(false);
    syncSelection();
}

void FolderBrowser::deselectAll()
{
    m_fileList->blockSignals(true);
    m_fileList->clearSelection();
    m_fileList->blockSignals(false);
    syncSelection();
    fillFileList();
}

void FolderBrowser::invertSelection()
{
    if (m_fileList->count() == 0)
        return;
    auto *model = m_fileList->model();
    const QItemSelection all(model->index(0, 0), model->index(m_fileList->count() - 1, 0));
    m_fileList->selectionModel()->select(all, QItemSelectionModel::Toggle);
}

void FolderBrowser::restoreSelection(const QList<int> &rows, const QString &name)
{
    m_fileList->blockSignals(true);
    for (int row : rows)
        if (auto *item = m_fileList->item(row))
            item->setSelected(true);
    if (!name.isEmpty())
        for (QListWidgetItem *item : m_fileList->findItems(name, Qt::MatchExactly))
            item->setSelected(true);
    m_fileList->blockSignals(false);
    syncSelection();
}

void FolderBrowser::folderPopup(const QPoint &pos)
{
    hideRenameEdit();
    // The commands work on the open folder, whichever line was right-clicked.
    for (int row = 0; row < m_folderList->count(); ++row)
        if (m_folderList->item(row)->data(Qt::UserRole).toString() == m_state.folder)
            m_folderList->setCurrentRow(row);
    Q_EMIT folderMenuRequested(m_folderList->viewport()->mapToGlobal(pos) + QPoint(-5, 5));
}

void FolderBrowser::startFolderEdit(bool makeNew)
{
    if (running() || (!makeNew && isDriveRoot(m_state.folder)))
        return;
    m_folderEditMakes = makeNew;
    m_folderEdit->blockSignals(true);
    m_folderEdit->setText(makeNew ? QString() : fileNameOf(m_state.folder));
    m_folderEdit->blockSignals(false);
    m_folderEdit->show();
    m_folderEdit->raise();
    m_folderEdit->setFocus();
    m_folderEdit->selectAll();
}

void FolderBrowser::hideRenameEdit()
{
    if (m_folderEdit && m_folderEdit->isVisible())
        m_folderEdit->hide();
}

void FolderBrowser::finishFolderEdit()
{
    const QString name = m_folderEdit->text();
    if (name.isEmpty())
        return;
    const QString folder = m_state.folder;
    const QString parent = m_folderEditMakes ? folder : parentFolder(folder);
    const QString current = m_folderEditMakes ? QString() : fileNameOf(folder);
    if (!isUsableFolderName(parent, name, current)) {
        m_prompter->inform(MessageKind::Information, message(Msg::ErrorInNewName, m_language));
        // The message box took the focus, which hid the edit: it stays open.
        m_folderEdit->show();
        m_folderEdit->setFocus();
        return;
    }
    m_folderEdit->hide();
    const QString target = QDir(parent).filePath(name);
    if (m_folderEditMakes) {
        makeFolder(parent, name);
        fillFolderList();
        return;
    }
    openFolder(parent);
    openFolder(renameFolder(folder, target) ? target : folder);
    Q_EMIT listChanged();
}

void FolderBrowser::deleteFolder()
{
    hideRenameEdit();
    const QString old = m_state.folder;
    if (running() || isDriveRoot(old))
        return;
    if (m_prompter->ask(MessageKind::Warning, ButtonSet::OkCancel, message(Msg::DeleteFolders, m_language)) !=
        Button::Ok)
        return;
    openFolder(parentFolder(old));
    // Only a tree without files goes; a failure is not reported, the lists show the result.
    deleteEmptyFolderTree(old);
    refillFileList();
}

void FolderBrowser::startExplorer()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_state.folder));
}

bool FolderBrowser::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_fileList) {
        if (event->type() == QEvent::FontChange) {
            // The widest name takes another size in the new font.
            fitRowSize();
        }
        return QWidget::eventFilter(watched, event);
    }
    if (watched == m_folderEdit) {
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
            hideRenameEdit();
            return true;
        }
        if (event->type() == QEvent::FocusOut)
            hideRenameEdit();
    } else if (event->type() == QEvent::MouseButtonPress) {
        hideRenameEdit();
        if (watched == m_folderList->viewport())
            m_folderButton = static_cast<QMouseEvent *>(event)->button();
    }
    return QWidget::eventFilter(watched, event);
}

} // namespace kaz
