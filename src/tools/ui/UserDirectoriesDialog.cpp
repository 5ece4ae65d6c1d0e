#include "UserDirectoriesDialog.h"

#include "platform/Messages.h"
#include "FolderSelectDialog.h"
#include "PlayerPathDialog.h"

#include "config/ConfigFile.h"
#include "widgets/HelpWindow.h"

#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kaz {

UserDirectoriesDialog::UserDirectoriesDialog(Mode mode, const QString &iniPath, Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_iniPath(iniPath)
    , m_prompter(prompter)
    , m_ok(new QPushButton(QStringLiteral("&OK"), this))
    , m_cancel(new QPushButton(this))
    , m_helpButton(new QPushButton(this))
{
    setObjectName(QStringLiteral("Tuserdirs"));
    auto *grid = new QGridLayout;
    for (int row = 0; row < 6; ++row) {
        m_labels[row] = new QLabel(this);
        m_labels[row]->setObjectName(QStringLiteral("Label%1").arg(row + 1));
        m_labels[row]->setFrameShape(QFrame::StyledPanel);
        m_labels[row]->setMinimumWidth(320);
        m_selects[row] = new QPushButton(this);
        m_selects[row]->setObjectName(QStringLiteral("Button%1").arg(row + 1));
        connect(m_selects[row], &QPushButton::clicked, this, [this, row] { select(row); });
        grid->addWidget(new QLabel(QString::number(row + 1), this), row, 0);
        grid->addWidget(m_labels[row], row, 1);
        grid->addWidget(m_selects[row], row, 2);
    }
    m_ok->setObjectName(QStringLiteral("OKBtn"));
    m_cancel->setObjectName(QStringLiteral("CancelBtn"));
    m_helpButton->setObjectName(QStringLiteral("HelpBtn"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &UserDirectoriesDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    addHelpButtonAndKey(this, m_helpButton, [this] {
        if (m_help)
            m_help();
    });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_helpButton);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    m_chooseFolder = [this](const QString &current) {
        FolderSelectDialog dialog(m_language, this);
        dialog.setFolder(QDir(current).exists() && !current.isEmpty() ? current : QDir::homePath());
        return dialog.exec() == QDialog::Accepted ? dialog.folder() : QString();
    };
    m_chooseProgram = [this](const ExternalProgram &current) {
        PlayerPathDialog dialog(PlayerPathDialog::Mode::Program, m_prompter, this);
        dialog.applyLanguage(m_language);
        dialog.openProgram(current);
        return dialog.exec() == QDialog::Accepted ? dialog.programEntry() : ExternalProgram{};
    };
    load();
    applyLanguage(kDefaultLanguage);
}

void UserDirectoriesDialog::applyLanguage(Language language)
{
    m_language = language;
    // The classic dialog names itself twice; the mode's title is the one that stays.
    setWindowTitle(QString::fromUtf8(tr2(language, "Define directories", "Verzeichniswahl")));
    setWindowTitle(m_mode == Mode::Folders
                       ? QString::fromUtf8(tr2(language, "Userdefined directories", "Benutzerdefinierte Verzeichnisse"))
                       : QString::fromUtf8(tr2(language, "External programs", "Externe Programme")));
    for (QPushButton *select : m_selects)
        select->setText(QString::fromUtf8(tr2(language, "Select", "Wähle")));
    m_cancel->setText(QStringLiteral("Cancel"));
    m_helpButton->setText(QString::fromUtf8(tr2(language, "&Help", "&Hilfe")));
}

void UserDirectoriesDialog::load()
{
    const KazSettings settings = loadIni(m_iniPath, IniContext{});
    m_folders = settings.userDirectories;
    m_programs = settings.externalPrograms;
    showRows();
}

void UserDirectoriesDialog::showRows()
{
    for (int row = 0; row < 6; ++row) {
        const ExternalProgram &program = m_programs[row];
        m_labels[row]->setText(m_mode == Mode::Folders ? m_folders[row]
                               : program.isEmpty()     ? QString()
                                                       : program.caption + QLatin1Char('=') + program.path);
    }
}

void UserDirectoriesDialog::select(int row)
{
    if (row < 0 || row >= 6)
        return;
    if (m_mode == Mode::Folders)
        m_folders[row] = m_chooseFolder ? m_chooseFolder(m_folders[row]) : QString();
    else
        m_programs[row] = m_chooseProgram ? m_chooseProgram(m_programs[row]) : ExternalProgram{};
    showRows();
}

void UserDirectoriesDialog::accept()
{
    QString problem;
    if (!patchUserSections(m_iniPath, m_folders, m_programs, &problem)) {
        m_prompter.inform(MessageKind::Error, message(Msg::SettingsNotWritten, m_language) + problem);
        return; // open, with the entries as they were edited
    }
    QDialog::accept();
}

} // namespace kaz
