#pragma once

#include "browser/FileListing.h"
#include "config/KazSettings.h"

#include "platform/Language.h"

#include <QString>
#include <QWidget>

namespace kaz {

class RunFrame;

// What a page sees of the browser whenever the file list or its selection
// changed.
struct ListState {
    QString folder;        // the current folder, without trailing "/"
    QString parent;        // its parent, with trailing "/"
    bool driveRoot = false;
    int count = 0;
    int selected = 0;
    bool includeSubdirectories = false;
    MaskState mask = MaskState::Mp3;
    bool running = false;  // a run has locked the controls
    bool afterActivation = false;

    // A page's "Go!" may start: files to work on, or a folder tree.
    bool canRun() const { return (!driveRoot && count > 0) || includeSubdirectories; }
};

// One page of the main window's notebook. A page brings its own controls,
// captions and help context; the main window tells it about the list and
// about the deactivated state, and locks what it registers during runs.
class NotebookPage : public QWidget
{
    Q_OBJECT
public:
    using QWidget::QWidget;

    virtual QString tabCaption(Language language) const = 0;
    // Help context of the "Help" button while this page is shown.
    virtual int helpContext() const = 0;
    virtual void applyLanguage(Language language) = 0;
    virtual void listChanged(const ListState &) {}
    virtual void selectionChanged(const ListState &) {}
    // Deactivated: every setting control and every "Go!" is disabled.
    virtual void setDeactivated(bool) {}
    virtual void registerLocks(RunFrame &) {}
    // The page's part of the configuration: shown at start and after a
    // dialog changed the file (selection groups only when applySelection),
    // and handed back for the exit writer.
    virtual void loadSettings(const KazSettings &, bool /*applySelection*/) {}
    virtual void storeSettings(KazSettings &) const {}
};

} // namespace kaz
