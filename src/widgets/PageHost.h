#pragma once

#include "platform/Language.h"
#include "platform/MediaPlayer.h"

#include <QString>
#include <QStringList>

#include <functional>

class QMenu;
class QProgressBar;

namespace kaz {

class Prompter;
class RunFrame;

// The menus of the window that pages add their items to.
enum class HostMenu {
    Properties, // "Pr&operties" of the menu bar
    FileList,   // pop-up of the file list
    FolderList, // pop-up of the folder list
};

// What the main window offers its pages: the browser's folder and
// selection, the run frame, the status lines and the progress bars.
class PageHost
{
public:
    virtual ~PageHost() = default;

    virtual Language language() const = 0;
    virtual Prompter &prompter() = 0;
    virtual RunFrame &runFrame() = 0;

    virtual QString currentFolder() const = 0;
    virtual QStringList fileNames() const = 0;
    virtual QStringList selectedNames() const = 0;
    virtual bool includeSubdirectories() const = 0;
    // Selects the first file when none is selected; false for an empty list.
    virtual bool selectFirstIfNone() = 0;

    virtual void setStatusText(const QString &text) = 0;
    virtual void setOrderText(const QString &text) = 0;
    virtual QString orderText() const = 0;
    // The status line's colour while the numbering dialog is open.
    virtual void setStatusHighlighted(bool highlighted) = 0;
    // The status text for the selection (the composed name of a single
    // file, or the count form), as a double click on the line shows it.
    virtual void resetStatus() = 0;
    virtual void showCountStatus() = 0;
    // The page that composes names tells the window how, for the status line.
    virtual void setNamePreview(std::function<QString(const QString &path)> preview) = 0;

    virtual QProgressBar *folderProgress() = 0;
    virtual QProgressBar *fileProgress() = 0;
    virtual void processEvents() = 0;

    virtual void refillFileList() = 0;
    virtual void folderUpdate() = 0;
    virtual void openFolder(const QString &folder) = 0;
    virtual void hideRenameEdit() = 0;
    virtual void reloadConfiguration() = 0;
    virtual void showHelp(int context) = 0;
    virtual void showPage(int index) = 0;
    virtual QMenu *menu(HostMenu which) = 0;
    // While a structure option of page "0" is on, the run takes the folder
    // tree: "include subdirectories" is checked and locked, and the file
    // list is greyed, deselected and disabled.
    virtual void setFolderTreeMode(bool) {}
    // Shows a dialog between a deactivation and a re-activation, which
    // reads back what the dialog wrote into the configuration.
    virtual void runInDialogFrame(const std::function<void()> &show) = 0;
    // The tag-source setting: ID3v2 values where a file has no ID3v1 tag.
    virtual bool useId3v2() const { return false; }
    // The media player of KAZ.INI line 12; the null player while none is set.
    virtual MediaPlayer &mediaPlayer() { return nullMediaPlayer(); }
};

} // namespace kaz
