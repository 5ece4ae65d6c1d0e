// The browser half of the main window: drive box, folder list, file list
// with mask, filter and letter sort, and the folder commands.
#include "MainWindow.h"

#include "widgets/StatusLine.h"

#include "platform/Messages.h"
#include "rename/Undo.h"
#include "browser/FolderCommands.h"
#include "browser/FolderRecovery.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QToolButton>
#include <QStorageInfo>
#include <QStyle>
#include <QUrl>

namespace kaz {
namespace {

bool isUserVolume(const QStorageInfo &volume)
{
    const QString root = volume.rootPath();
    if (!volume.isValid() || !volume.isReady())
        return false;
    if (root == QLatin1String("/"))
        return true;
    for (const char *system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot/efi"})
        if (root.startsWith(QLatin1String(system)))
            return root.startsWith(QLatin1String("/run/media"));
    return true;
}

QString lastComponent(const QString &folder)
{
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? folder : folder.mid(slash + 1);
}

} // namespace

bool MainWindow::isDriveRoot(const QString &folder) const
{
    return folder == QLatin1String("/") || QStorageInfo(folder).rootPath() == folder;
}

void MainWindow::fillDrives()
{
    m_driveBox->clear();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (isUserVolume(volume) && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    std::sort(roots.begin(), roots.end());
    m_driveBox->addItems(roots);
    const QString mine = QStorageInfo(m_folder).rootPath();
    const int index = m_driveBox->findText(mine);
    if (index >= 0)
        m_driveBox->setCurrentIndex(index);
}

void MainWindow::driveChosen(int index)
{
    hideRenameEdit();
    const QString root = m_driveBox->itemText(index);
    if (!root.isEmpty())
        openFolder(root);
}

void MainWindow::fillFolderList()
{
    m_folderList->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    // The way from the root down to the current folder, then its sub-folders.
    QStringList chain;
    for (QString f = m_folder; !f.isEmpty();) {
        chain.prepend(f);
        if (f == QLatin1String("/"))
            break;
        const QString parent = parentFolder(f);
        f = parent.size() > 1 ? parent.chopped(1) : parent;
    }
    int depth = 0;
    for (const QString &f : chain) {
        auto *item = new QListWidgetItem(open, QString(depth * 2, QLatin1Char(' ')) +
                                                   (f == QLatin1String("/") ? f : lastComponent(f)));
        item->setData(Qt::UserRole, f);
        m_folderList->addItem(item);
        ++depth;
    }
    if (auto *current = m_folderList->item(m_folderList->count() - 1))
        m_folderList->setCurrentItem(current);
    const QString base = m_folder == QLatin1String("/") ? QString() : m_folder;
    for (const QString &name : QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + name);
        item->setData(Qt::UserRole, QString(base + QLatin1Char('/') + name));
        m_folderList->addItem(item);
    }
}

void MainWindow::fillFileList()
{
    if (m_filling) {
        m_refillPending = true;
        return;
    }
    m_filling = true;
    QStringList names;
    do {
        m_refillPending = false;
        QElapsedTimer sincePump;
        sincePump.start();
        RunHooks hooks;
        hooks.progress = [this](qint64 position, qint64 total) {
            m_fileProgress->setMaximum(int(qMax<qint64>(total, 1)));
            m_fileProgress->setValue(int(position));
        };
        // Reading 20,000 tags takes a moment; the window stays alive meanwhile.
        hooks.processEvents = [&sincePump] {
            if (sincePump.elapsed() >= 15) {
                QCoreApplication::processEvents();
                sincePump.restart();
            }
        };
        names = listFolderFiles(m_folder, m_mask, m_filter, hooks);
        if (m_sortButton->isChecked())
            letterSort(names);
    } while (m_refillPending);
    m_fileList->clear();
    m_fileList->addItems(names);
    m_fileProgress->setMaximum(100);
    m_fileProgress->setValue(0);
    m_filling = false;
    notifyListChanged();
    if (m_fileList->count() > 0 && (!isDriveRoot(m_folder) || includeSubdirectories()))
        showCountStatus();
    else
        setStatusText(QString());
    updateSelectionControls();
}

void MainWindow::refillFileList()
{
    fillFolderList();
    fillFileList();
}

void MainWindow::openFolder(const QString &folder)
{
    const QString clean = QDir::cleanPath(folder);
    if (!QFileInfo(clean).isDir())
        return;
    m_folder = clean;
    QDir::setCurrent(m_folder);
    const int drive = m_driveBox->findText(QStorageInfo(m_folder).rootPath());
    if (drive >= 0)
        m_driveBox->setCurrentIndex(drive);
    fillFolderList();
    fillFileList();
}

void MainWindow::folderListClicked(QListWidgetItem *item)
{
    hideRenameEdit();
    if (!item || m_runFrame.running() || m_folderButton != Qt::LeftButton)
        return;
    const QString folder = item->data(Qt::UserRole).toString();
    if (folder != m_folder)
        openFolder(folder);
}

void MainWindow::folderUpdate()
{
    fillFolderList();
    writeSiblingList(m_folder);
    notifyListChanged();
}

ListState MainWindow::listState() const
{
    ListState s;
    s.folder = m_folder;
    s.parent = parentFolder(m_folder);
    s.driveRoot = isDriveRoot(m_folder);
    s.count = m_fileList->count();
    s.selected = int(m_fileList->selectionModel()->selectedIndexes().size());
    s.includeSubdirectories = includeSubdirectories();
    s.mask = m_mask;
    s.running = m_runFrame.running();
    s.afterActivation = m_activated;
    return s;
}

void MainWindow::notifyListChanged()
{
    const ListState state = listState();
    for (NotebookPage *page : std::as_const(m_pageList))
        page->listChanged(state);
}

QStringList MainWindow::fileNames() const
{
    QStringList names;
    names.reserve(m_fileList->count());
    for (int i = 0; i < m_fileList->count(); ++i)
        names << m_fileList->item(i)->text();
    return names;
}

QStringList MainWindow::selectedNames() const
{
    QModelIndexList rows = m_fileList->selectionModel()->selectedRows();
    std::sort(rows.begin(), rows.end(), [](const QModelIndex &a, const QModelIndex &b) { return a.row() < b.row(); });
    QStringList names;
    names.reserve(rows.size());
    for (const QModelIndex &index : rows)
        names << index.data().toString();
    return names;
}

bool MainWindow::includeSubdirectories() const
{
    return m_includeSubdirs->isChecked();
}

void MainWindow::includeSubdirectoriesToggled()
{
    hideRenameEdit();
    notifyListChanged();
}

void MainWindow::setMaskState(MaskState state)
{
    m_mask = state;
    updateMaskButtons();
    fillFileList();
}

void MainWindow::setTagFilter(TagFilter filter)
{
    m_filter = filter;
    updateMaskButtons();
    fillFileList();
}

void MainWindow::maskButtonClicked()
{
    hideRenameEdit();
    setMaskState(nextMaskState(m_mask));
}

void MainWindow::filterButtonClicked()
{
    hideRenameEdit();
    setTagFilter(nextTagFilter(m_filter));
}

void MainWindow::sortButtonClicked()
{
    // Down: sorted by letters; released: the natural order again.
    fillFileList();
}

void MainWindow::updateMaskButtons()
{
    static const char *const masks[] = {"*.mp3", "inv (*.mp3)", "*.*"};
    m_maskButton->setText(QLatin1String(masks[int(m_mask)]));
    const char *const filters[3][2] = {{"all", "alle"}, {"tagged", "mit Tag"}, {"untagged", "ohne Tag"}};
    m_filterButton->setText(QString::fromUtf8(tr2(m_language, filters[int(m_filter)][0], filters[int(m_filter)][1])));
    if (!m_runFrame.running())
        m_filterButton->setEnabled(m_mask == MaskState::Mp3);
    for (const char *name : {"FilterAll1", "FilterTagged1", "FilterUntagged1"})
        if (auto *a = findChild<QAction *>(QLatin1String(name)))
            a->setEnabled(m_mask == MaskState::Mp3);
}

void MainWindow::folderPopup(const QPoint &pos)
{
    hideRenameEdit();
    // The commands work on the open folder, whichever line was right-clicked.
    for (int row = 0; row < m_folderList->count(); ++row)
        if (m_folderList->item(row)->data(Qt::UserRole).toString() == m_folder)
            m_folderList->setCurrentRow(row);
    const bool root = isDriveRoot(m_folder);
    if (auto *a = findChild<QAction *>(QStringLiteral("rename1")))
        a->setEnabled(!root && !m_runFrame.running());
    m_folderPopup->popup(m_folderList->viewport()->mapToGlobal(pos) + QPoint(-5, 5));
}

void MainWindow::filePopup(const QPoint &pos)
{
    m_filePopup->popup(m_fileList->viewport()->mapToGlobal(pos));
}

void MainWindow::startFolderEdit(bool makeNew)
{
    if (m_runFrame.running() || (!makeNew && isDriveRoot(m_folder)))
        return;
    m_folderEditMakes = makeNew;
    m_folderEdit->blockSignals(true);
    m_folderEdit->setText(makeNew ? QString() : lastComponent(m_folder));
    m_folderEdit->blockSignals(false);
    m_folderEdit->show();
    m_folderEdit->raise();
    m_folderEdit->setFocus();
    m_folderEdit->selectAll();
}

void MainWindow::hideRenameEdit()
{
    if (m_folderEdit && m_folderEdit->isVisible())
        m_folderEdit->hide();
}

void MainWindow::finishFolderEdit()
{
    const QString name = m_folderEdit->text();
    if (name.isEmpty())
        return;
    const QString parent = m_folderEditMakes ? m_folder : parentFolder(m_folder);
    const QString current = m_folderEditMakes ? QString() : lastComponent(m_folder);
    if (!isUsableFolderName(parent, name, current)) {
        prompter().inform(MessageKind::Information, message(Msg::ErrorInNewName, m_language));
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
    // The logged paths would no longer exist under the old folder name.
    discardUndoInformation();
    const QString old = m_folder;
    openFolder(parent);
    openFolder(renameFolder(old, target) ? target : old);
    notifyListChanged();
}

void MainWindow::deleteFolder()
{
    hideRenameEdit();
    if (m_runFrame.running() || isDriveRoot(m_folder))
        return;
    if (prompter().ask(MessageKind::Warning, ButtonSet::OkCancel, message(Msg::DeleteFolders, m_language)) !=
        Button::Ok)
        return;
    const QString old = m_folder;
    openFolder(parentFolder(old));
    // Only a tree without files goes; a failure is not reported, the lists show the result.
    deleteEmptyFolderTree(old);
    refillFileList();
}

void MainWindow::startExplorer()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder));
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
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
    return QMainWindow::eventFilter(watched, event);
}

} // namespace kaz
