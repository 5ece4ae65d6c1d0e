#include "FolderPicker.h"

#include "platform/PathParts.h"
#include "platform/Volumes.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace kaz {
FolderPicker::FolderPicker(QWidget *parent)
    : QWidget(parent)
    , m_drives(new QComboBox(this))
    , m_folders(new QListWidget(this))
{
    m_drives->setObjectName(QStringLiteral("DriveComboBox1"));
    m_folders->setObjectName(QStringLiteral("DirectoryListBox1"));
    m_folders->setIconSize(QSize(16, 16));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_drives);
    layout->addWidget(m_folders, 1);
    connect(m_folders, &QListWidget::itemClicked, this, &FolderPicker::itemClicked);
    connect(m_drives, &QComboBox::activated, this, &FolderPicker::driveChosen);
    setFolder(QDir::homePath());
}

bool FolderPicker::setFolder(const QString &folder)
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

void FolderPicker::fillDrives()
{
    m_filling = true;
    m_drives->clear();
    QStringList roots = userVolumeRoots();
    const QString mine = volumeRootOf(m_folder);
    if (!roots.contains(mine)) {
        roots << mine;
        std::sort(roots.begin(), roots.end());
    }
    m_drives->addItems(roots);
    m_drives->setCurrentIndex(int(roots.indexOf(mine)));
    m_filling = false;
}

void FolderPicker::fillFolders()
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
        const QString name = f == QLatin1String("/") ? f : fileNameOf(f);
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

void FolderPicker::itemClicked(QListWidgetItem *item)
{
    if (item)
        setFolder(item->data(Qt::UserRole).toString());
}

void FolderPicker::driveChosen(int index)
{
    if (!m_filling)
        setFolder(m_drives->itemText(index));
}

} // namespace kaz
