#pragma once

#include "StructureCommands.h"

#include <QStringList>
#include <QWidget>

#include <optional>

class QCheckBox;
class QLabel;

namespace kaz {

// The page-"0" boxes "create" and "reorganize" under "Directory-structure":
// with one of them on, "&Go!" first builds (or reorganises) the structure of
// the folder and then renames the files it moved. Switching one on switches
// the other off; with "show2" the settings dialog opens then.
class StructureBoxes : public QWidget
{
    Q_OBJECT
public:
    explicit StructureBoxes(QWidget *parent = nullptr);

    // What the dialogs and runs need; the window's.
    void setContext(const StructureCommandContext &context) { m_context = context; }
    void applyLanguage(Language language);
    bool active() const { return m_createOn || m_reorganizeOn; }
    bool createOn() const { return m_createOn; }
    bool reorganizeOn() const { return m_reorganizeOn; }
    // "create" can be switched on only with files to sort.
    void setCreateEnabled(bool enabled);
    // Both boxes are off and disabled while a user-defined name replaces
    // the names made from tags.
    void setBlocked(bool blocked);
    void switchOff();
    QList<QWidget *> lockable() const;

    // "&Go!" with a box on: with "show1" the dialog first (Cancel ends the
    // run), then the structure step. The files the rename run takes next
    // (where they are now), or nullopt when nothing is to be renamed.
    std::optional<QStringList> runBeforeRename(const QString &folder);

Q_SIGNALS:
    // A box was switched on, or both are off again: the folder tree is the
    // input then, not the file list.
    void activeChanged(bool active);

private:
    void createClicked();
    void reorganizeClicked();
    void askSettingsOnSwitch();
    void clearBoxes();

    StructureCommandContext m_context;
    QLabel *m_label;
    QCheckBox *m_create;
    QCheckBox *m_reorganize;
    bool m_createOn = false;
    bool m_reorganizeOn = false;
    bool m_canCreate = false;
    bool m_blocked = false;
};

} // namespace kaz
