#pragma once

#include "platform/Language.h"
#include "platform/MediaPlayer.h"
#include "widgets/HostFiles.h"
#include "widgets/HostStatus.h"

#include <functional>

class QMenu;

namespace kaz {

class Prompter;
class RunFrame;

// The menus of the window that pages add their items to.
enum class HostMenu {
    Properties, // "Pr&operties" of the menu bar
    FileList,   // pop-up of the file list
    FolderList, // pop-up of the folder list
};

// What the main window offers its pages: the browser's folder, selection and
// progress bars, the status lines, the run frame, the menus and the commands
// of the window.
class PageHost
{
public:
    virtual ~PageHost() = default;

    virtual Language language() const = 0;
    virtual Prompter &prompter() = 0;
    virtual RunFrame &runFrame() = 0;

    virtual HostFiles &files() = 0;
    virtual HostStatus &status() = 0;

    virtual void processEvents() = 0;
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
    // The ID3v2-write setting: "update", "add" or "off".
    virtual QString id3v2Write() const { return QStringLiteral("update"); }
    // The media player of KAZ.INI line 12; the null player while none is set.
    virtual MediaPlayer &mediaPlayer() { return nullMediaPlayer(); }
};

} // namespace kaz
