#pragma once

#include <QWidget>

class QComboBox;
class QListWidget;
class QListWidgetItem;

namespace kaz {

// A drive box over a folder list, as the dialogs of the outside tools use
// them: the drive box lists the mounted volumes, the folder list shows the
// way from the root down to the current folder and its sub-folders. A
// click on a folder opens it.
class FolderPicker : public QWidget
{
    Q_OBJECT
public:
    explicit FolderPicker(QWidget *parent = nullptr);

    QString folder() const { return m_folder; }
    // Opens the folder; a folder that does not exist leaves the browser as it is.
    bool setFolder(const QString &folder);
    QComboBox *driveBox() const { return m_drives; }
    QListWidget *folderList() const { return m_folders; }

Q_SIGNALS:
    // The user (or setFolder) opened a folder.
    void folderOpened(const QString &folder);

private:
    void fillDrives();
    void fillFolders();
    void itemClicked(QListWidgetItem *item);
    void driveChosen(int index);

    QString m_folder;
    QComboBox *m_drives;
    QListWidget *m_folders;
    bool m_filling = false;
};

} // namespace kaz
