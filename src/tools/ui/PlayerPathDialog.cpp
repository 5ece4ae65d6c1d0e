#include "PlayerPathDialog.h"

#include "platform/Messages.h"
#include "FolderPicker.h"

#include "config/ConfigFile.h"
#include "platform/MediaPlayerFactory.h"
#include "platform/Prompter.h"

#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kaz {
namespace {

// On this system a player or program is any executable file; the classic
// "WINAMP*.EXE" and "*.EXE" masks become that.
bool isExecutableFile(const QFileInfo &info)
{
    return info.isFile() && info.isExecutable();
}

} // namespace

PlayerPathDialog::PlayerPathDialog(Mode mode, Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_mode(mode)
    , m_prompter(prompter)
    , m_browser(new FolderPicker(this))
    , m_files(new QListWidget(this))
    , m_name(new QLineEdit(this))
    , m_picture(new QLabel(this))
    , m_save(new QPushButton(this))
    , m_reset(new QPushButton(this))
{
    setObjectName(QStringLiteral("Twinamp_path"));
    m_files->setObjectName(QStringLiteral("FileListBox1"));
    m_name->setObjectName(QStringLiteral("Edit1"));
    m_picture->setObjectName(QStringLiteral("Image1"));
    m_save->setObjectName(QStringLiteral("BitBtn1"));
    m_reset->setObjectName(QStringLiteral("BitBtn2"));
    m_save->setDefault(true);
    m_picture->setPixmap(style()->standardIcon(QStyle::SP_MediaPlay).pixmap(48, 48));
    m_picture->setAlignment(Qt::AlignCenter);

    auto *buttons = new QVBoxLayout;
    buttons->addWidget(m_picture);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_reset);
    auto *left = new QVBoxLayout;
    left->addWidget(m_browser, 2);
    left->addWidget(m_files, mode == Mode::Program ? 2 : 1);
    left->addWidget(m_name);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(buttons);

    m_name->setVisible(mode == Mode::Program);
    m_picture->setVisible(mode == Mode::Player);
    connect(m_browser, &FolderPicker::folderOpened, this, &PlayerPathDialog::folderClicked);
    connect(m_files, &QListWidget::currentRowChanged, this, &PlayerPathDialog::fileChosen);
    connect(m_save, &QPushButton::clicked, this, &PlayerPathDialog::save);
    connect(m_reset, &QPushButton::clicked, this, &PlayerPathDialog::reset);
    resize(420, 360);
    applyLanguage(kDefaultLanguage);
    folderClicked(m_browser->folder());
}

void PlayerPathDialog::applyLanguage(Language language)
{
    m_language = language;
    setWindowTitle(m_mode == Mode::Player ? QStringLiteral("   select WINAMP path")
                                          : QStringLiteral("   select executable file"));
    m_save->setText(QString::fromUtf8(tr2(language, "&Save", "&Speichern")));
    m_reset->setText(QStringLiteral("&Reset"));
    m_files->setToolTip(QString::fromUtf8(tr2(language, "executable files of the folder", "ausführbare Dateien des Verzeichnisses")));
}

QString PlayerPathDialog::defineNameText() const
{
    return QString::fromUtf8(tr2(m_language, "Define name!", "Name eingeben!"));
}

void PlayerPathDialog::openPlayer(const QString &iniPath, const QString &storedPath, bool known)
{
    m_iniPath = iniPath;
    m_known = known;
    const QFileInfo stored(storedPath);
    if (isPlayerConfigured(storedPath) && known && m_browser->setFolder(stored.absolutePath())) {
        const QList<QListWidgetItem *> match = m_files->findItems(stored.fileName(), Qt::MatchExactly);
        if (!match.isEmpty())
            m_files->setCurrentItem(match.constFirst());
    }
}

void PlayerPathDialog::openProgram(const ExternalProgram &entry)
{
    m_name->setText(entry.caption.isEmpty() ? defineNameText() : entry.caption);
    const QFileInfo program(entry.path);
    if (!entry.path.isEmpty() && m_browser->setFolder(program.absolutePath())) {
        const QList<QListWidgetItem *> match = m_files->findItems(program.fileName(), Qt::MatchExactly);
        if (!match.isEmpty())
            m_files->setCurrentItem(match.constFirst());
    }
}

// Folder click: the executables of the folder; nothing chosen yet.
void PlayerPathDialog::folderClicked(const QString &folder)
{
    m_folder = folder;
    m_files->clear();
    for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files | QDir::Executable, QDir::Name | QDir::IgnoreCase))
        if (isExecutableFile(info))
            m_files->addItem(info.fileName());
    m_save->setText(QStringLiteral("SAVE"));
    fileChosen();
}

QString PlayerPathDialog::chosenFile() const
{
    const QListWidgetItem *item = m_files->currentItem();
    if (!item || !m_files->currentIndex().isValid())
        return {};
    const QString path = QDir(m_folder).filePath(item->text());
    return isExecutableFile(QFileInfo(path)) ? path : QString();
}

void PlayerPathDialog::fileChosen()
{
    // A program may also be saved without a file: that empties its row.
    m_save->setEnabled(m_mode == Mode::Program || !chosenFile().isEmpty());
}

void PlayerPathDialog::save()
{
    if (m_mode == Mode::Player) {
        const QString file = chosenFile();
        m_savedPath = m_save->isEnabled() && !file.isEmpty() ? file : QStringLiteral(".");
        QString problem;
        if (!patchWinampPath(m_iniPath, m_savedPath, &problem)) {
            m_prompter.inform(MessageKind::Error, message(Msg::SettingsNotWritten, m_language) + problem);
            return;
        }
        m_known = true;
        accept();
        return;
    }
    QString name = m_name->text().trimmed();
    // The menu entry is stored as "name=path": a "=" in the name would cut it.
    name.replace(QLatin1Char('='), QLatin1Char('-'));
    if (name.isEmpty())
        name = defineNameText();
    m_name->setText(name);
    if (name == defineNameText()) {
        m_prompter.inform(MessageKind::Information,
                          QString::fromUtf8(tr2(m_language, "Define name for external program!\n\r",
                                                "Namen für das externe Programm eingeben!\n\r")));
        m_name->setFocus();
        m_name->selectAll();
        return;
    }
    const QString file = chosenFile();
    m_entry = file.isEmpty() ? ExternalProgram{} : ExternalProgram{name, file};
    accept();
}

void PlayerPathDialog::reset()
{
    m_known = true;
    m_files->setCurrentRow(-1);
    m_save->setEnabled(false);
    reject();
}

} // namespace kaz
