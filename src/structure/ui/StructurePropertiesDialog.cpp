#include "StructurePropertiesDialog.h"

#include "structure/CdSize.h"
#include "structure/VariousName.h"

#include "config/ConfigFile.h"
#include "platform/HelpFiles.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"
#include "widgets/Captions.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace kaz {
namespace {

QSpinBox *spinBox(QWidget *parent, const char *name, int min, int max, bool typing)
{
    auto *box = named(new QSpinBox(parent), name);
    box->setRange(min, max);
    if (!typing)
        box->findChild<QLineEdit *>()->setReadOnly(true); // arrows only
    return box;
}

QVBoxLayout *tight(QWidget *group)
{
    auto *layout = new QVBoxLayout(group);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    return layout;
}

} // namespace

StructurePropertiesDialog::StructurePropertiesDialog(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
                          | Qt::WindowMinMaxButtonsHint | Qt::CustomizeWindowHint)
{
    setObjectName(QStringLiteral("Tstructure_properties"));
    setModal(true);
    m_createGroup = named(new QGroupBox(this), "GroupBox2");
    m_artist = named(new QRadioButton(m_createGroup), "RadioButton1");
    m_album = named(new QRadioButton(m_createGroup), "RadioButton2");
    m_artistAlbum = named(new QRadioButton(m_createGroup), "RadioButton3");
    m_variousLabel = named(new QLabel(m_createGroup), "Label4");
    m_variousName = named(new QLineEdit(m_createGroup), "Edit1");
    m_searchGroup = named(new QGroupBox(this), "GroupBox5");
    m_searchAlbum = named(new QCheckBox(m_searchGroup), "CheckBox6");
    m_searchSampler = named(new QCheckBox(m_searchGroup), "CheckBox9");
    m_searchVarious = named(new QCheckBox(m_searchGroup), "CheckBox10");
    m_repeatGroup = named(new QGroupBox(this), "GroupBox1");
    m_artistRepeat = spinBox(m_repeatGroup, "SpinEdit1", 1, 99, false);
    m_variousRepeat = spinBox(m_repeatGroup, "SpinEdit2", 1, 99, false);
    m_artistRepeatLabel = named(new QLabel(m_repeatGroup), "label1");
    m_variousRepeatLabel = named(new QLabel(m_repeatGroup), "Label2");
    m_extendedGroup = named(new QGroupBox(this), "GroupBox3");
    m_prefixDirs = named(new QCheckBox(m_extendedGroup), "CheckBox2");
    m_multiCd = named(new QCheckBox(m_extendedGroup), "CheckBox3");
    m_multiCdLabel = named(new QLabel(m_extendedGroup), "Label3");
    m_exclude = named(new QCheckBox(m_extendedGroup), "CheckBox4");
    m_excludeLabel = named(new QLabel(m_extendedGroup), "Label5");
    m_excluded = named(new QComboBox(m_extendedGroup), "ComboBox1");
    m_excluded->setEditable(true);
    m_excluded->setInsertPolicy(QComboBox::NoInsert);
    m_add = named(new QPushButton(m_extendedGroup), "Button1");
    m_delete = named(new QPushButton(m_extendedGroup), "Button2");
    m_fitOnCd = named(new QCheckBox(m_extendedGroup), "CheckBox5");
    // Typing is allowed; a value beyond the end is set back to it in the change handler.
    m_minutes = spinBox(m_extendedGroup, "SpinEdit3", 5, 999, true);
    m_megabytes = spinBox(m_extendedGroup, "SpinEdit4", 44, 9999, true);
    m_minutesLabel = named(new QLabel(m_extendedGroup), "Label6");
    m_megabytesLabel = named(new QLabel(m_extendedGroup), "Label7");
    m_showGroup = named(new QGroupBox(this), "GroupBox4");
    m_showOnGo = named(new QCheckBox(m_showGroup), "CheckBox1");
    m_showOnFolderMenu = named(new QCheckBox(m_showGroup), "CheckBox8");
    m_showOnCheckBox = named(new QCheckBox(m_showGroup), "CheckBox7");
    m_help = named(new QPushButton(this), "HelpBtn");
    m_save = named(new QPushButton(this), "OKBtn");
    m_cancel = named(new QPushButton(this), "CancelBtn");
    m_save->setDefault(true);
    for (QLabel *label : {m_multiCdLabel, m_excludeLabel})
        label->setIndent(20);

    auto *create = tight(m_createGroup);
    create->addWidget(m_artist);
    create->addWidget(m_album);
    create->addWidget(m_artistAlbum);
    create->addWidget(m_variousLabel);
    create->addWidget(m_variousName);
    auto *search = tight(m_searchGroup);
    for (QCheckBox *box : {m_searchAlbum, m_searchSampler, m_searchVarious})
        search->addWidget(box);
    for (QSpinBox *box : {m_artistRepeat, m_variousRepeat})
        box->setFixedWidth(38);
    auto *repeat = new QGridLayout(m_repeatGroup);
    repeat->setContentsMargins(4, 4, 2, 4);
    repeat->setColumnStretch(1, 1);
    repeat->addWidget(m_artistRepeat, 0, 0);
    repeat->addWidget(m_artistRepeatLabel, 0, 1);
    repeat->addWidget(m_variousRepeat, 1, 0);
    repeat->addWidget(m_variousRepeatLabel, 1, 1);
    auto *extended = tight(m_extendedGroup);
    extended->addWidget(m_prefixDirs);
    extended->addWidget(m_multiCd);
    extended->addWidget(m_multiCdLabel);
    extended->addWidget(m_exclude);
    extended->addWidget(m_excludeLabel);
    auto *excludedRow = new QHBoxLayout;
    excludedRow->addWidget(m_excluded, 1);
    excludedRow->addWidget(m_add);
    excludedRow->addWidget(m_delete);
    extended->addLayout(excludedRow);
    extended->addWidget(m_fitOnCd);
    auto *cdRow = new QHBoxLayout;
    cdRow->addWidget(m_minutes);
    cdRow->addWidget(m_minutesLabel);
    cdRow->addWidget(m_megabytes);
    cdRow->addWidget(m_megabytesLabel);
    cdRow->addStretch(1);
    extended->addLayout(cdRow);
    auto *show = tight(m_showGroup);
    for (QCheckBox *box : {m_showOnGo, m_showOnFolderMenu, m_showOnCheckBox})
        show->addWidget(box);

    auto *left = new QVBoxLayout;
    left->addWidget(m_createGroup);
    left->addWidget(m_searchGroup);
    left->addWidget(m_repeatGroup);
    auto *right = new QVBoxLayout;
    right->addWidget(m_extendedGroup);
    right->addWidget(m_showGroup);
    auto *columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addLayout(right, 1);
    for (QGroupBox *group : {m_createGroup, m_searchGroup, m_repeatGroup})
        group->setFixedWidth(150);
    auto *buttons = new QHBoxLayout;
    for (QPushButton *narrow : {m_help, m_cancel})
        narrow->setMaximumWidth(64);
    buttons->addWidget(m_help);
    buttons->addWidget(m_save, 1);
    buttons->addWidget(m_cancel);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->setSpacing(4);
    layout->addLayout(columns, 1);
    layout->addLayout(buttons);
    // The fixed size was laid out for an 8-point font.
    QFont small = font();
    small.setPointSizeF(qMin(small.pointSizeF(), 7.5));
    setFont(small);
    setFixedSize(489, 367);

    auto *helpKey = new QAction(this);
    helpKey->setObjectName(QStringLiteral("help"));
    helpKey->setShortcut(Qt::Key_F1);
    addAction(helpKey);
    connect(helpKey, &QAction::triggered, this, [this] { Q_EMIT helpRequested(helpcontext::StructureSettingsKey); });
    connect(m_help, &QPushButton::clicked, this, [this] { Q_EMIT helpRequested(helpcontext::StructureSettings); });
    connect(m_save, &QPushButton::clicked, this, &StructurePropertiesDialog::save);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_add, &QPushButton::clicked, this, &StructurePropertiesDialog::addExcluded);
    connect(m_delete, &QPushButton::clicked, this, &StructurePropertiesDialog::deleteExcluded);
    connect(m_minutes, &QSpinBox::valueChanged, this, &StructurePropertiesDialog::minutesChanged);
    connect(m_megabytes, &QSpinBox::valueChanged, this, &StructurePropertiesDialog::megabytesChanged);
    applyLanguage(kDefaultLanguage);
}

void StructurePropertiesDialog::applyLanguage(Language l)
{
    m_language = l;
    setWindowTitle(text(l, "Directory structure properties", "Einstellungen der Verzeichnisstruktur"));
    m_createGroup->setTitle(text(l, "Create following directories", "Erstelle diese Verzeichnisse"));
    m_artist->setText(text(l, "artist", "Interpret"));
    m_album->setText(text(l, "album", "Album"));
    m_artistAlbum->setText(text(l, "artist && album", "Interpret && Album"));
    m_variousLabel->setText(text(l, "for various songs", "für diverse Lieder"));
    m_searchGroup->setTitle(text(l, "Search for", "Suche nach"));
    m_searchAlbum->setText(text(l, "Album", "Album"));
    m_searchSampler->setText(text(l, "Sampler", "Sampler"));
    m_searchVarious->setText(text(l, "Various", "Diverse"));
    m_repeatGroup->setTitle(text(l, "Minimal repeatings for", "Minimale Wiederholungen für"));
    m_artistRepeatLabel->setText(text(l, "artist/sampler", "Interpret/Sampler"));
    m_variousRepeatLabel->setText(text(l, "artist (various)", "Interpret (diverse)"));
    m_extendedGroup->setTitle(text(l, "Extended options", "Erweiterte Optionen"));
    m_prefixDirs->setText(text(l, "create \"Album\"- && \"Sampler\"-directories ",
                               "erstelle \"Album\"- && \"Sampler\"-Verzeichnis "));
    m_multiCd->setText(text(l, "create multi-CD-directory from \"CD1, CD2...\" if found",
                            "erstelle multi-CD-Verzeichnis, wenn \"CD1, CD2...\""));
    m_multiCdLabel->setText(text(l, "at the end of comment of ID3Tag", "am Ende des Kommentares des ID3Tag gefunden wird"));
    m_exclude->setText(text(l, "exclude album-names containing  following strings for",
                            "erstelle kein Sampler-Verzeichnis in dessen Namen"));
    m_excludeLabel->setText(text(l, "creating directories  for sampler", "eines der folgenden Textstücke vorkommen"));
    m_add->setText(text(l, "Add", "Dazu"));
    m_delete->setText(text(l, "Delete", "Löschen"));
    m_fitOnCd->setText(text(l, "create structures with contents fitting on",
                            "erstelle Verzeichnisstrukturen mit einer max. Größe von"));
    m_minutesLabel->setText(text(l, "min- or", "min- oder"));
    m_megabytesLabel->setText(QStringLiteral("MB - CDR"));
    m_showGroup->setTitle(text(l, "Always show this window if...", "Dieses Fenster soll immer angezeigt werden, bei..."));
    m_showOnGo->setText(text(l, "\"GO\" is clicked", "Klick auf \"Start\""));
    m_showOnFolderMenu->setText(text(l, "rightclick on directory-popup-menu", "Rechtsklick auf Verzeichnis-Popup-Menü"));
    m_showOnCheckBox->setText(
        text(l, "directory-structure-checkbox is enabled", "Aktivierung einer Verzeichnisstruktur-Option"));
    m_help->setText(text(l, "&Help", "&Hilfe"));
    m_cancel->setText(text(l, "Cancel", "Abbruch"));
    switch (m_source) {
    case Source::FolderMenu:
        m_save->setText(text(l, "&Save && create directorystructure", "&Speichern && Verzeichnisstruktur erstellen"));
        break;
    case Source::Go:
        m_save->setText(text(l, "&Save, create directorystructure && rename files",
                             "&Speichern, Verzeichnisstruktur erstellen && Dateien umbenennen"));
        break;
    case Source::None:
        m_save->setText(text(l, "&Save", "&Speichern"));
        break;
    }
}

void StructurePropertiesDialog::prepare(const StructureSettings &s, Source source, Language language)
{
    m_source = source;
    m_loaded = s;
    applyLanguage(language);
    m_rememberedVariousName = s.variousDir;
    m_artist->setChecked(s.createDir == CreateDirMode::Artist);
    m_album->setChecked(s.createDir == CreateDirMode::Album);
    m_artistAlbum->setChecked(s.createDir == CreateDirMode::ArtistAndAlbum);
    m_variousName->setText(s.variousDir);
    m_artistRepeat->setValue(s.artistRepeatings);
    m_variousRepeat->setValue(s.variousRepeatings);
    m_megabytes->setValue(s.cdrMegabytes);
    m_minutes->setValue(int(qint64(s.cdrMegabytes) * kMegabyte / kCdMinuteBytes));
    m_prefixDirs->setChecked(s.createAlbumAndSamplerDirs);
    m_multiCd->setChecked(s.createMultiCdDirs);
    m_exclude->setChecked(s.excludeAlbumNamesForSampler);
    m_fitOnCd->setChecked(s.fitOnCdr);
    m_showOnGo->setChecked(s.showOnGo);
    m_showOnCheckBox->setChecked(s.showOnCheckBox);
    m_showOnFolderMenu->setChecked(s.showOnFolderMenu);
    m_searchAlbum->setChecked(s.searchAlbum);
    m_searchSampler->setChecked(s.searchSampler);
    m_searchVarious->setChecked(s.searchVarious);
    m_excluded->clear();
    QStringList excluded = s.excludedAlbums;
    excluded.removeAll(QString());
    excluded.sort(Qt::CaseInsensitive);
    m_excluded->addItems(excluded);
    m_excluded->setCurrentIndex(excluded.isEmpty() ? -1 : 0);
}

StructureSettings StructurePropertiesDialog::settings() const
{
    StructureSettings s = m_loaded;
    if (m_artist->isChecked())
        s.createDir = CreateDirMode::Artist;
    else if (m_album->isChecked())
        s.createDir = CreateDirMode::Album;
    else if (m_artistAlbum->isChecked())
        s.createDir = CreateDirMode::ArtistAndAlbum;
    s.variousDir = m_variousName->text();
    s.artistRepeatings = m_artistRepeat->value();
    s.variousRepeatings = m_variousRepeat->value();
    s.cdrMegabytes = m_megabytes->value();
    s.createAlbumAndSamplerDirs = m_prefixDirs->isChecked();
    s.createMultiCdDirs = m_multiCd->isChecked();
    s.excludeAlbumNamesForSampler = m_exclude->isChecked();
    s.fitOnCdr = m_fitOnCd->isChecked();
    s.showOnGo = m_showOnGo->isChecked();
    s.showOnCheckBox = m_showOnCheckBox->isChecked();
    s.showOnFolderMenu = m_showOnFolderMenu->isChecked();
    s.searchAlbum = m_searchAlbum->isChecked();
    s.searchSampler = m_searchSampler->isChecked();
    s.searchVarious = m_searchVarious->isChecked();
    s.excludedAlbums.clear();
    for (int i = 0; i < m_excluded->count(); ++i)
        s.excludedAlbums.append(m_excluded->itemText(i));
    return s;
}

void StructurePropertiesDialog::save()
{
    if (!variousNameUsable(m_variousName->text())) {
        if (m_prompter)
            m_prompter->inform(MessageKind::Error, text(m_language, "Error in directoryname.\n\r\n\rPlease re-enter directory.",
                                                        "Fehler im eingegebenen Verzeichnisnamen.\n\r\n\rGeben Sie ihn bitte neu ein."));
        m_variousName->setText(m_rememberedVariousName);
        m_variousName->setFocus();
        return;
    }
    QString problem;
    if (!patchStructureSection(m_iniPath.isEmpty() ? iniPath() : m_iniPath, settings(), &problem)) {
        // The dialog stays open: the settings are not lost, and Cancel is still there.
        if (m_prompter)
            m_prompter->inform(MessageKind::Error, message(Msg::SettingsNotWritten, m_language) + problem);
        return;
    }
    accept();
}

void StructurePropertiesDialog::addExcluded()
{
    QString entry = m_excluded->currentText();
    while (entry.endsWith(QLatin1Char(' ')))
        entry.chop(1);
    m_excluded->setEditText(entry);
    if (!entry.isEmpty() && m_excluded->findText(entry, Qt::MatchExactly | Qt::MatchCaseSensitive) < 0) {
        int at = 0;
        while (at < m_excluded->count() && QString::compare(m_excluded->itemText(at), entry, Qt::CaseInsensitive) < 0)
            ++at;
        m_excluded->insertItem(at, entry);
        m_excluded->setCurrentIndex(at);
    }
    m_excluded->setFocus();
}

void StructurePropertiesDialog::deleteExcluded()
{
    const int at = m_excluded->findText(m_excluded->currentText(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (at >= 0)
        m_excluded->removeItem(at);
    m_excluded->setCurrentIndex(m_excluded->count() > 0 ? 0 : -1);
    if (m_excluded->count() == 0)
        m_excluded->setEditText(QString());
    m_excluded->setFocus();
}

// The two CD sizes follow each other only from the control being used, so
// that setting one from the other does not set the first back.
void StructurePropertiesDialog::minutesChanged(int minutes)
{
    if (minutes > 90) {
        m_minutes->setValue(90);
        return;
    }
    if (m_minutes->hasFocus())
        m_megabytes->setValue(int(qint64(minutes) * kCdMinuteBytes / kMegabyte) + 1);
}

void StructurePropertiesDialog::megabytesChanged(int megabytes)
{
    if (megabytes > 790) {
        m_megabytes->setValue(790);
        return;
    }
    if (m_megabytes->hasFocus())
        m_minutes->setValue(int(qint64(megabytes) * kMegabyte / kCdMinuteBytes));
}

} // namespace kaz
