#pragma once

#include "platform/Language.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;

namespace kaz {

class Prompter;
class RadioGroup;

// "save/delete" of the saved-rules menu: saves the script field's script,
// or its last entry, under an optional name, or deletes a saved record.
class CleanupSaveDeleteDialog : public QDialog
{
    Q_OBJECT
public:
    CleanupSaveDeleteDialog(const QString &script, Prompter &prompter, QWidget *parent = nullptr);

    void applyLanguage(Language language);
    // Fills the delete menu (PopupMenu1) with the saved records; shown at
    // the cursor by "&delete".
    void fillDeleteMenu();
    // Deletes a record after the question; the window rebuilds its menu.
    void deleteRecord(int record);
    void save();

Q_SIGNALS:
    void rulesChanged();

private:
    void updateButtons();

    QString m_script;
    Prompter &m_prompter;
    Language m_language = kDefaultLanguage;
    RadioGroup *m_what = nullptr;
    QLabel *m_nameLabel = nullptr;
    QLineEdit *m_name = nullptr;
    QPushButton *m_cancel = nullptr;
    QPushButton *m_delete = nullptr;
    QPushButton *m_save = nullptr;
    QMenu *m_deleteMenu = nullptr;
};

} // namespace kaz
