#pragma once

#include "config/KazSettings.h"
#include "platform/Language.h"

#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace kaz {

class FolderPicker;
class Prompter;

// Picks an executable file in two modes: the media player (KAZ.INI line
// 12; "Save" patches that line) or an external program with the name it
// gets in the menu (the result is handed back as an entry).
class PlayerPathDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Player, Program };

    PlayerPathDialog(Mode mode, Prompter &prompter, QWidget *parent = nullptr);

    void applyLanguage(Language language);
    // Player mode: the stored path, and whether start-up found it (an
    // unknown path is not opened). Call before exec().
    void openPlayer(const QString &iniPath, const QString &storedPath, bool known);
    // Program mode: the row's entry; empty for an empty row.
    void openProgram(const ExternalProgram &entry);

    // Program mode after "Save": the new entry, empty when no file was chosen.
    ExternalProgram programEntry() const { return m_entry; }
    // Player mode: the path written to line 12 ("." for none).
    QString savedPlayerPath() const { return m_savedPath; }
    // Reset marks the stored path as known again.
    bool playerKnown() const { return m_known; }

    FolderPicker *browser() const { return m_browser; }
    QListWidget *fileList() const { return m_files; }

private:
    void folderClicked(const QString &folder);
    void fileChosen();
    QString chosenFile() const;
    void save();
    void reset();
    QString defineNameText() const;

    Mode m_mode;
    Prompter &m_prompter;
    Language m_language = kDefaultLanguage;
    QString m_iniPath;
    QString m_folder;
    QString m_savedPath;
    bool m_known = true;
    ExternalProgram m_entry;
    FolderPicker *m_browser;
    QListWidget *m_files;
    QLineEdit *m_name;
    QLabel *m_picture;
    QPushButton *m_save;
    QPushButton *m_reset;
};

} // namespace kaz
