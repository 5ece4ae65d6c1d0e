#include "FolderBrowser.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QStorageInfo>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace kaz {
namespace {

// The volumes a user keeps files on, not the system's own.
bool isUserVolume(const QStorageInfo &volume)
{
    const QString root = volume.rootPath();
    if (!volume.isValid() || !volume.isReady())
        return false;
    for (const char *system : {"/proc", "/sys", "/dev", "/run", "/snap", "/boot/efi"})
        if (root.startsWith(QLatin1String(system)))
            return root.startsWith(QLatin1String("/run/media"));
    return true;
}

QString parentOf(const QString &folder)
{
    const qsizetype slash = folder.lastIndexOf(QLatin1Char('/'));
    return slash <= 0 ? QStringLiteral("/") : folder.left(slash);
}

} // namespace

FolderBrowser::FolderBrowser(QWidget *parent)
    : QWidget(parent)
    , m_drives(new QComboBox(this))
    , m_folders(new QListWidget(this))
{
    m_drives->setObjectName(QStringLiteral("DriveComboBox1"));
    m_folders->setObjectName(QStringLiteral("DirectoryListBox1"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_drives);
    layout->addWidget(m_folders, 1);
    connect(m_folders, &QListWidget::itemClicked, this, &FolderBrowser::itemClicked);
    connect(m_drives, &QComboBox::activated, this, &FolderBrowser::driveChosen);
    setFolder(QDir::homePath());
}

bool FolderBrowser::setFolder(const QString &folder)
{
    const QFileInfo info(folder);
    if (folder.isEmpty() || !info.isDir())
        return false;
    m_folder = QDir::cleanPath(info.absoluteFilePath());
    fillDrives();
    fillFolders();
    Q_EMIT folderOpened(m_folder);
    return true;
}

void FolderBrowser::fillDrives()
{
    m_filling = true;
    m_drives->clear();
    QStringList roots;
    for (const QStorageInfo &volume : QStorageInfo::mountedVolumes())
        if (isUserVolume(volume) && !roots.contains(volume.rootPath()))
            roots << volume.rootPath();
    const QString mine = QStorageInfo(m_folder).rootPath();
    if (!roots.contains(mine))
        roots << mine;
    std::sort(roots.begin(), roots.end());
    m_drives->addItems(roots);
    m_drives->setCurrentIndex(int(roots.indexOf(mine)));
    m_filling = false;
}

void FolderBrowser::fillFolders()
{
    m_folders->clear();
    const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
    const QIcon closed = style()->standardIcon(QStyle::SP_DirIcon);
    QStringList chain;
    for (QString f = m_folder;; f = parentOf(f)) {
        chain.prepend(f);
        if (f == QLatin1String("/"))
            break;
    }
    int depth = 0;
    for (const QString &f : chain) {
        const QString name = f == QLatin1String("/") ? f : f.mid(f.lastIndexOf(QLatin1Char('/')) + 1);
        auto *item = new QListWidgetItem(open, QString(depth++ * 2, QLatin1Char(' ')) + name, m_folders);
        item->setData(Qt::UserRole, f);
    }
    m_folders->setCurrentRow(m_folders->count() - 1);
    const QString base = m_folder == QLatin1String("/") ? QString() : m_folder;
    for (const QString &name : QDir(m_folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase)) {
        auto *item = new QListWidgetItem(closed, QString(depth * 2, QLatin1Char(' ')) + name, m_folders);
        item->setData(Qt::UserRole, QString(base + QLatin1Char('/') + name));
    }
}

void FolderBrowser::itemClicked(QListWidgetItem *item)
{
    if (item)
        setFolder(item->data(Qt::UserRole).toString());
}

void FolderBrowser::driveChosen(int index)
{
    if (!m_filling)
        setFolder(m_drives->itemText(index));
}

} // namespace kaz
