#include "RenamePage.h"

#include "platform/Messages.h"
#include "RenameRunner.h"
#include "CharactersDialog.h"
#include "NumberingDialog.h"

#include "rename/NameComposer.h"
#include "rename/RenameTexts.h"
#include "rename/SelectionRules.h"
#include "platform/WorkFiles.h"
#include "config/ConfigFile.h"
#include "rename/RenameSettingsMapping.h"
#include "widgets/PageHost.h"
#include "widgets/RadioGroup.h"
#include "widgets/RunFrame.h"
#include "structure/ui/StructureBoxes.h"
#include "tags/TagIO.h"
#include "editor/ui/EditTagsOneByOne.h"

#include <QAction>
#include <QCheckBox>
#include <QEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QVBoxLayout>

namespace kaz {
namespace {

QStringList fieldItems(Language l, bool withNone)
{
    QStringList items{text(l, "Artist", "Interpret"), QStringLiteral("Album"), text(l, "Title", "Titel")};
    if (withNone)
        items << text(l, "None", "Keine");
    return items;
}

NameField fieldOf(const RadioGroup *group)
{
    const int i = group->itemIndex();
    return i < 0 ? NameField::None : NameField(i);
}

} // namespace

RenamePage::RenamePage(PageHost &host, QWidget *parent)
    : NotebookPage(parent)
    , m_host(host)
    , m_runner(std::make_unique<RenameRunner>(host, m_runState, this))
{
    setObjectName(QStringLiteral("page0"));
    buildControls();
    setSettings(m_settings);
    m_host.status().setNamePreview([this](const QString &path) { return namePreview(path); });
    m_runner->setTagEditor([this](const QStringList &paths) {
        TagEditorOptions options = programTagEditorOptions(m_host);
        options.saveAndNext = true;
        return editTagsOneByOne(paths, programTagEditorSession(), options, this).saved;
    });
    if (QMenu *files = m_host.menu(HostMenu::FileList)) {
        auto *item = new QAction(this);
        item->setObjectName(QStringLiteral("renameselectedfiles1"));
        connect(item, &QAction::triggered, this, &RenamePage::renameSelection);
        files->insertAction(files->actions().value(0), item);
        files->insertSeparator(files->actions().value(1));
    }
    if (QMenu *properties = m_host.menu(HostMenu::Properties))
        for (QAction *a : properties->actions())
            if (a->objectName() == QLatin1String("Definecharactersdelimiter1"))
                connect(a, &QAction::triggered, this, &RenamePage::openCharacters);
}

RenamePage::~RenamePage() = default;

void RenamePage::buildControls()
{
    buildSelectionGroups();
    buildAddOnGroup();
    buildUsefulGroup();
    buildRunButtons();
    for (QGroupBox *box : {static_cast<QGroupBox *>(m_first), static_cast<QGroupBox *>(m_second),
                           static_cast<QGroupBox *>(m_third), m_addOn, m_useful})
        box->installEventFilter(this);
    buildLayout();
}

void RenamePage::buildSelectionGroups()
{
    m_first = new RadioGroup(QStringLiteral("RadioGroup1"), this);
    m_second = new RadioGroup(QStringLiteral("RadioGroup2"), this);
    m_third = new RadioGroup(QStringLiteral("RadioGroup3"), this);
    m_first->setItems(fieldItems(m_language, false));
    m_second->setItems(fieldItems(m_language, true));
    m_third->setItems(fieldItems(m_language, true));
    // The third group is set by the program more often than by the user.
    m_third->setFocusPolicy(Qt::NoFocus);
    connect(m_first, &RadioGroup::clicked, this, [this] { groupClicked(1); });
    connect(m_second, &RadioGroup::clicked, this, [this] { groupClicked(2); });
    connect(m_third, &RadioGroup::clicked, this, [this] { groupClicked(3); });
}

void RenamePage::buildAddOnGroup()
{
    m_addOn = new QGroupBox(this);
    m_addOn->setObjectName(QStringLiteral("GroupBox2"));
    m_keepNumbers = new QCheckBox(m_addOn);
    m_keepNumbers->setObjectName(QStringLiteral("CheckBox3"));
    m_setting = new QPushButton(m_addOn);
    m_setting->setObjectName(QStringLiteral("Button7"));
    m_appendComment = new QCheckBox(m_addOn);
    m_appendComment->setObjectName(QStringLiteral("CheckBox4"));
    m_userDefined = new QCheckBox(m_addOn);
    m_userDefined->setObjectName(QStringLiteral("CheckBox2"));
    m_userText = new QLineEdit(m_addOn);
    m_userText->setObjectName(QStringLiteral("Edit2"));
    m_userText->setEnabled(false);
    auto *addOn = new QGridLayout(m_addOn);
    addOn->setContentsMargins(6, 2, 6, 4);
    addOn->setVerticalSpacing(1);
    addOn->addWidget(m_keepNumbers, 0, 0);
    addOn->addWidget(m_setting, 0, 1);
    addOn->addWidget(m_appendComment, 1, 0, 1, 2);
    addOn->addWidget(m_userDefined, 2, 0, 1, 2);
    addOn->addWidget(m_userText, 3, 0, 1, 2);
    for (QCheckBox *box : {m_keepNumbers, m_appendComment})
        connect(box, &QCheckBox::toggled, this, &RenamePage::refreshExamples);
    connect(m_userDefined, &QCheckBox::toggled, this, &RenamePage::userDefinedToggled);
    connect(m_setting, &QPushButton::clicked, this, &RenamePage::openNumbering);
}

void RenamePage::buildUsefulGroup()
{
    m_useful = new QGroupBox(this);
    m_useful->setObjectName(QStringLiteral("GroupBox1"));
    m_joliet = new QCheckBox(m_useful);
    m_joliet->setObjectName(QStringLiteral("joliet"));
    auto *useful = new QVBoxLayout(m_useful);
    useful->setContentsMargins(6, 2, 6, 4);
    useful->addWidget(m_joliet);
    m_structure = new StructureBoxes(m_useful);
    connect(m_structure, &StructureBoxes::activeChanged, this, [this](bool on) { m_host.setFolderTreeMode(on); });
    useful->addWidget(m_structure);
    useful->addStretch(1);
    connect(m_joliet, &QCheckBox::toggled, this, &RenamePage::jolietToggled);
    // Captions are never cut: the window grows instead.
    for (QWidget *w : std::initializer_list<QWidget *>{m_keepNumbers, m_appendComment, m_userDefined, m_joliet,
                                                       m_setting})
        w->setSizePolicy(QSizePolicy::Minimum, QSizePolicy::Fixed);
}

void RenamePage::buildRunButtons()
{
    m_previewButton = new QPushButton(this);
    m_previewButton->setObjectName(QStringLiteral("BitBtn1"));
    m_goButton = new QPushButton(this);
    m_goButton->setObjectName(QStringLiteral("SpeedButton1"));
    QFont bold = m_goButton->font();
    bold.setBold(true);
    m_goButton->setFont(bold);
    m_undoButton = new QPushButton(this);
    m_undoButton->setObjectName(QStringLiteral("BitBtn5"));
    connect(m_previewButton, &QPushButton::clicked, this, &RenamePage::preview);
    connect(m_goButton, &QPushButton::clicked, this, &RenamePage::go);
    connect(m_undoButton, &QPushButton::clicked, this, &RenamePage::undo);
    for (QPushButton *b : {m_previewButton, m_goButton, m_undoButton})
        b->setEnabled(false);

    m_parentLabel = new QLabel(this);
    m_parentLabel->setObjectName(QStringLiteral("ParentLabel"));
    m_parentLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
}

void RenamePage::buildLayout()
{
    auto *groups = new QHBoxLayout;
    groups->setSpacing(4);
    groups->addWidget(m_first);
    groups->addWidget(m_second);
    groups->addWidget(m_third);
    groups->addWidget(m_addOn, 1);
    groups->addWidget(m_useful);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_previewButton);
    buttons->addWidget(m_goButton, 1);
    buttons->addWidget(m_undoButton);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addLayout(groups);
    layout->addWidget(m_parentLabel);
    layout->addLayout(buttons);
}

bool RenamePage::eventFilter(QObject *watched, QEvent *event)
{
    // A click on a group of the page ends a folder rename in progress.
    if (event->type() == QEvent::MouseButtonPress)
        m_host.hideRenameEdit();
    return NotebookPage::eventFilter(watched, event);
}

QString RenamePage::tabCaption(Language language) const
{
    return text(language, "ID3Tag -> filename", "ID3Tag -> Dateiname");
}

void RenamePage::applyLanguage(Language l)
{
    m_language = l;
    m_first->setTitle(text(l, "1st Selection", "1te Auswahl"));
    m_second->setTitle(text(l, "2nd Selection", "2te Auswahl"));
    m_third->setTitle(text(l, "Automatic Sel.", "automatisch"));
    m_first->setItems(fieldItems(l, false));
    m_second->setItems(fieldItems(l, true));
    m_third->setItems(fieldItems(l, true));
    m_addOn->setTitle(text(l, "Add on", "Zusatz"));
    m_useful->setTitle(text(l, "Useful", "Nützliches"));
    m_structure->applyLanguage(l);
    // The boxes' settings dialog (on switching on) opens over this window.
    m_structure->setContext(structureContext());
    m_userDefined->setText(text(l, "Userdefined incl. counter", "benutzerdefiniert inkl. Zähler"));
    m_keepNumbers->setText(text(l, "keep numbers", "behalte Nummer"));
    m_appendComment->setText(text(l, "append comment at filename", "Kommentar anhängen"));
    if (!m_userDefined->isChecked())
        m_userText->setText(renameText(RenameText::Deactivated, l));
    m_joliet->setText(text(l, "Joliet files", "Joliet Dateien"));
    m_joliet->setToolTip(text(l, "forces length of filename to 64 characters",
                              "begrenzt die Länge des Dateinamens auf 64 Zeichen"));
    m_setting->setText(text(l, "setting", "einstellen"));
    m_setting->setToolTip(text(l, "position and brackets of the kept number", "Position und Klammern der Nummer"));
    m_previewButton->setText(text(l, "&Preview", "&Vorschau"));
    m_previewButton->setToolTip(text(l, "preview of renaming", "Vorschau der Umbenennung"));
    m_goButton->setText(text(l, "&Go!", "&Start!"));
    m_goButton->setToolTip(text(l, "rename the selected files after their ID3Tags",
                                "ausgewählte Dateien nach ihren ID3Tags umbenennen"));
    m_undoButton->setText(text(l, "&Undo", "&Rückg."));
    m_undoButton->setToolTip(text(l, "undo the last renaming", "letzte Umbenennung rückgängig machen"));
    if (QMenu *files = m_host.menu(HostMenu::FileList))
        for (QAction *a : files->actions())
            if (a->objectName() == QLatin1String("renameselectedfiles1"))
                a->setText(text(l, "ID3Tag -> filename", "ID3Tag -> Dateiname"));
    refreshExamples();
}

RenameSettings RenamePage::settings() const
{
    RenameSettings s = m_settings;
    readControls(s);
    return s;
}

void RenamePage::readControls(RenameSettings &s) const
{
    s.firstField = fieldOf(m_first);
    s.secondField = fieldOf(m_second);
    s.thirdField = m_joliet->isChecked() ? m_thirdBeforeJoliet : fieldOf(m_third);
    s.joliet = m_joliet->isChecked();
    s.keepNumbers = m_keepNumbers->isChecked();
    s.appendComment = m_appendComment->isChecked();
    s.userDefined = m_userDefined->isChecked();
    s.userText = m_userText->text();
    s.includeSubdirectories = m_host.files().includeSubdirectories();
}

void RenamePage::setSettings(const RenameSettings &settings)
{
    m_settings = settings;
    const QSignalBlocker b1(m_joliet), b2(m_userDefined), b3(m_keepNumbers), b4(m_appendComment);
    m_first->setItemIndex(int(settings.firstField));
    m_second->setItemIndex(int(settings.secondField));
    m_thirdBeforeJoliet = settings.thirdField;
    m_third->setItemIndex(int(settings.joliet ? NameField::None : settings.thirdField));
    m_joliet->setChecked(settings.joliet);
    m_keepNumbers->setChecked(settings.keepNumbers);
    m_appendComment->setChecked(settings.appendComment);
    m_userDefined->setChecked(settings.userDefined);
    m_userText->setText(settings.userDefined ? settings.userText : renameText(RenameText::Deactivated, m_language));
    enableSettingControls();
    refreshExamples();
}

void RenamePage::enableSettingControls()
{
    const bool free = !m_userDefined->isChecked() && !m_deactivated;
    m_first->setEnabled(free);
    m_second->setEnabled(free);
    m_third->setEnabled(free && !m_joliet->isChecked());
    m_appendComment->setEnabled(free);
    m_joliet->setEnabled(free);
    m_structure->setBlocked(m_userDefined->isChecked());
    m_userText->setEnabled(m_userDefined->isChecked() && !m_deactivated);
    m_userDefined->setEnabled(!m_deactivated);
    m_keepNumbers->setEnabled(!m_deactivated);
    m_setting->setEnabled(!m_deactivated);
}

void RenamePage::groupClicked(int group)
{
    NameField first = fieldOf(m_first), second = fieldOf(m_second), third = fieldOf(m_third);
    adjustSelections(group, first, second, third);
    m_first->setItemIndex(int(first));
    m_second->setItemIndex(int(second));
    m_third->setItemIndex(int(third));
    m_host.hideRenameEdit();
    refreshExamples();
}

void RenamePage::jolietToggled(bool on)
{
    if (on) {
        m_thirdBeforeJoliet = fieldOf(m_third);
        m_third->setItemIndex(int(NameField::None));
    } else {
        m_third->setItemIndex(int(m_thirdBeforeJoliet));
    }
    enableSettingControls();
    refreshExamples();
}

void RenamePage::userDefinedToggled(bool on)
{
    m_userText->setText(on ? renameText(RenameText::UserTextDefault, m_language)
                           : renameText(RenameText::Deactivated, m_language));
    enableSettingControls();
    if (on)
        m_userText->setFocus();
}

void RenamePage::refreshExamples()
{
    m_host.status().setOrderText(patternExample(settings(), m_language));
    if (m_host.files().selectedNames().size() == 1)
        m_host.status().reset();
}

QString RenamePage::namePreview(const QString &path) const
{
    TagContext context;
    context.language = m_language;
    context.useId3v2 = m_host.useId3v2();
    const TagRecord tag = readTag(path, context);
    if (!tag.hasTag())
        return {};
    return statusBarName(tag, QFileInfo(path).fileName(), settings());
}

void RenamePage::listChanged(const ListState &state)
{
    m_parentLabel->setText(state.parent);
    m_canRun = state.canRun();
    if (!state.running)
        m_structure->setCreateEnabled(state.canRun());
    if (!state.running && !m_deactivated) {
        m_goButton->setEnabled(m_canRun);
        m_previewButton->setEnabled(m_canRun);
        updateUndoButton();
    }
}

void RenamePage::updateUndoButton()
{
    // The undo belongs to the folder its run started from (and the folders below).
    QString last = m_runState.lastStartFolder;
    if (!last.isEmpty() && !last.endsWith(QLatin1Char('/')))
        last += QLatin1Char('/');
    const QString current = m_host.files().currentFolder() + QLatin1Char('/');
    m_undoButton->setEnabled(!m_deactivated && current.startsWith(last) && undoInformationExists());
}

void RenamePage::setDeactivated(bool deactivated)
{
    m_deactivated = deactivated;
    enableSettingControls();
    if (deactivated) {
        for (QPushButton *b : {m_previewButton, m_goButton, m_undoButton})
            b->setEnabled(false);
    } else {
        m_goButton->setEnabled(m_canRun);
        m_previewButton->setEnabled(m_canRun);
        updateUndoButton();
    }
}

void RenamePage::registerLocks(RunFrame &frame)
{
    for (QWidget *w : std::initializer_list<QWidget *>{m_first, m_second, m_third, m_keepNumbers, m_appendComment,
                                                       m_userDefined, m_userText, m_joliet, m_setting,
                                                       m_previewButton, m_goButton, m_undoButton})
        frame.addLocked(w);
    for (QWidget *w : m_structure->lockable())
        frame.addLocked(w);
}

void RenamePage::loadSettings(const KazSettings &k, bool applySelection)
{
    const RenameSettings stored = renameSettingsFrom(k);
    RenameSettings s = settings();
    if (applySelection) {
        s.firstField = stored.firstField;
        s.secondField = stored.secondField;
        s.thirdField = stored.thirdField;
    }
    s.joliet = stored.joliet;
    s.numbering = stored.numbering;
    s.replacements = stored.replacements;
    s.delimiter = stored.delimiter;
    setSettings(s);
}

void RenamePage::storeSettings(KazSettings &k) const
{
    storeRenameSettings(settings(), k);
}

void RenamePage::openCharacters()
{
    m_host.runInDialogFrame([this] {
        CharactersDialog dialog(m_host.prompter(), this);
        dialog.applyLanguage(m_language);
        dialog.setValues(m_settings.replacements, m_settings.delimiter);
        if (dialog.exec() != QDialog::Accepted)
            return;
        std::array<QString, 9> characters;
        for (int i = 0; i < 9; ++i)
            characters[i] = dialog.replacements().mid(i, 1);
        QString problem;
        if (!patchCharactersAndDelimiter(iniPath(), characters, dialog.delimiter(), &problem))
            m_host.prompter().inform(MessageKind::Error, message(Msg::SettingsNotWritten, m_language) + problem);
    });
}

void RenamePage::go()
{
    if (!m_goButton->isEnabled())
        return;
    if (m_structure->active()) {
        goWithStructure();
        return;
    }
    m_runner->run(settings(), m_host.files().selectedNames());
    m_userDefined->setChecked(false);
    updateUndoButton();
}

// The structure step first, then the files it moved are renamed; one undo
// reverses both.
StructureCommandContext RenamePage::structureContext()
{
    StructureCommandContext context;
    context.window = this;
    context.prompter = &m_host.prompter();
    context.frame = &m_host.runFrame();
    context.state = &m_runState;
    context.player = &m_host.mediaPlayer();
    context.language = m_language;
    context.hooks.processEvents = [this] { m_host.processEvents(); };
    context.help = [this](int c) { m_host.showHelp(c); };
    return context;
}

void RenamePage::goWithStructure()
{
    m_structure->setContext(structureContext());
    std::optional<QStringList> files;
    {
        RunGuard frame(m_host.runFrame());
        files = m_structure->runBeforeRename(m_host.files().currentFolder());
    }
    if (files && !files->isEmpty())
        m_runner->run(settings(), *files, true);
    m_structure->switchOff();
    m_userDefined->setChecked(false);
    updateUndoButton();
}

void RenamePage::renameSelection()
{
    if (m_host.files().selectedNames().isEmpty() || m_host.runFrame().running())
        return;
    m_host.showPage(0);
    m_runner->run(settings(), m_host.files().selectedNames());
    m_userDefined->setChecked(false);
    updateUndoButton();
}

void RenamePage::preview()
{
    if (!m_previewButton->isEnabled())
        return;
    m_runner->previewAndRun(settings(), m_host.files().selectedNames());
    m_userDefined->setChecked(false);
    updateUndoButton();
    m_host.status().reset();
}

void RenamePage::undo()
{
    if (!m_undoButton->isEnabled())
        return;
    m_runner->undo();
    updateUndoButton();
}

void RenamePage::openNumbering()
{
    if (!m_host.files().selectFirstIfNone())
        return;
    NumberingDialog dialog(this);
    dialog.applyLanguage(m_language);
    dialog.setNumbering(m_settings.numbering);
    const NumberingSettings stored = m_settings.numbering;
    dialog.setChangedCallback([this](const NumberingSettings &n) {
        m_settings.numbering = n;
        m_host.status().reset();
    });
    m_host.status().setHighlighted(true);
    m_host.status().reset();
    const bool saved = dialog.exec() == QDialog::Accepted;
    m_host.status().setHighlighted(false);
    m_settings.numbering = saved ? dialog.numbering() : stored;
    if (saved)
        Q_EMIT numberingSaved(m_settings.numbering);
    m_host.status().reset();
}

} // namespace kaz
