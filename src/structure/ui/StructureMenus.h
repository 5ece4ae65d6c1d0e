#pragma once

#include "StructureCommands.h"

#include "rename/RunState.h"

#include <QObject>

class QAction;
class QMenu;
class QWidget;

namespace kaz {

class PageHost;

// The structure items of the main window: "Directory structure" (Ctrl+D) in
// the Properties menu, and the header with "  create", "  reorganize" and
// "  break" in the folder pop-up, enabled for the folder on each opening.
class StructureMenus : public QObject
{
    Q_OBJECT
public:
    // state: the run state that page "0"'s Undo reads, so that the undo of a
    // structure run knows its folder and its session; none: a state of its own.
    StructureMenus(PageHost &host, QWidget &window, RunState *state = nullptr);

    void applyLanguage(Language language);

private:
    QAction *addItem(QMenu *menu, const char *name, QAction *before);
    void updatePopup();
    StructureCommands &commands();
    void run(const std::function<std::optional<StructureOutcome>(StructureCommands &, const QString &)> &step);

    PageHost &m_host;
    QWidget &m_window;
    RunState m_ownState;
    RunState *m_state;
    std::unique_ptr<StructureCommands> m_commands;
    QAction *m_settings = nullptr;
    QAction *m_header = nullptr;
    QAction *m_create = nullptr;
    QAction *m_reorganize = nullptr;
    QAction *m_break = nullptr;
};

} // namespace kaz
