#pragma once

#include "config/KazSettings.h"
#include "platform/Language.h"

#include <QDialog>

#include <array>
#include <functional>

class QLabel;
class QPushButton;

namespace kaz {

class Prompter;

// The six favourite folders (folder mode) or the six external programs
// (program mode), each row with its "Select" button. OK writes both
// sections of KAZ.INI; the main window reloads the file afterwards.
class UserDirectoriesDialog : public QDialog
{
    Q_OBJECT
public:
    enum class Mode { Folders, Programs };

    UserDirectoriesDialog(Mode mode, const QString &iniPath, Prompter &prompter, QWidget *parent = nullptr);

    void applyLanguage(Language language);
    // How "Select" asks for a folder or a program; the dialogs by default,
    // replaced by tests. A folder chooser returns empty for Cancel.
    void setFolderChooser(std::function<QString(const QString &current)> chooser) { m_chooseFolder = std::move(chooser); }
    void setProgramChooser(std::function<ExternalProgram(const ExternalProgram &current)> chooser)
    {
        m_chooseProgram = std::move(chooser);
    }
    void setHelp(std::function<void()> help) { m_help = std::move(help); }

    // The rows as they stand.
    const std::array<QString, 6> &folders() const { return m_folders; }
    const std::array<ExternalProgram, 6> &programs() const { return m_programs; }
    // "Select" of row 0..5.
    void select(int row);

    void accept() override;

private:
    void load();
    void showRows();

    Mode m_mode;
    QString m_iniPath;
    Prompter &m_prompter;
    Language m_language = kDefaultLanguage;
    std::array<QString, 6> m_folders;
    std::array<ExternalProgram, 6> m_programs;
    std::array<QLabel *, 6> m_labels{};
    std::array<QPushButton *, 6> m_selects{};
    QPushButton *m_ok;
    QPushButton *m_cancel;
    QPushButton *m_helpButton;
    std::function<QString(const QString &)> m_chooseFolder;
    std::function<ExternalProgram(const ExternalProgram &)> m_chooseProgram;
    std::function<void()> m_help;
};

} // namespace kaz
