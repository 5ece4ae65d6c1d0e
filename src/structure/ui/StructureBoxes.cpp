#include "StructureBoxes.h"

#include "config/ConfigFile.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"
#include "rename/RenameSettingsMapping.h"
#include "widgets/RunFrame.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QVBoxLayout>

namespace kaz {

StructureBoxes::StructureBoxes(QWidget *parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
    , m_create(new QCheckBox(this))
    , m_reorganize(new QCheckBox(this))
{
    m_label->setObjectName(QStringLiteral("directory_structure_label"));
    m_create->setObjectName(QStringLiteral("directory_structure"));
    m_reorganize->setObjectName(QStringLiteral("reorganize_directory_structure"));
    m_create->setEnabled(false);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(1);
    layout->addWidget(m_label);
    layout->addWidget(m_create);
    layout->addWidget(m_reorganize);
    connect(m_create, &QCheckBox::clicked, this, &StructureBoxes::createClicked);
    connect(m_reorganize, &QCheckBox::clicked, this, &StructureBoxes::reorganizeClicked);
    applyLanguage(kDefaultLanguage);
}

void StructureBoxes::applyLanguage(Language l)
{
    m_context.language = l;
    m_label->setText(QString::fromUtf8(tr2(l, "Directory-structure", "Verzeichnisstruktur")));
    m_create->setText(QString::fromUtf8(tr2(l, "create", "erstellen")));
    m_reorganize->setText(QString::fromUtf8(tr2(l, "reorganize", "reorganisieren")));
}

void StructureBoxes::setCreateEnabled(bool enabled)
{
    m_canCreate = enabled;
    m_create->setEnabled(enabled && !m_blocked);
}

void StructureBoxes::setBlocked(bool blocked)
{
    if (blocked == m_blocked)
        return;
    m_blocked = blocked;
    if (blocked)
        switchOff();
    m_create->setEnabled(m_canCreate && !blocked);
    m_reorganize->setEnabled(!blocked);
}

void StructureBoxes::switchOff()
{
    const bool wasActive = active();
    clearBoxes();
    if (wasActive)
        Q_EMIT activeChanged(false);
}

void StructureBoxes::clearBoxes()
{
    m_createOn = m_reorganizeOn = false;
    m_create->setChecked(false);
    m_reorganize->setChecked(false);
}

QList<QWidget *> StructureBoxes::lockable() const
{
    return {m_create, m_reorganize};
}

// The state lives in flags of its own; the check marks follow them.
void StructureBoxes::createClicked()
{
    const bool on = !m_createOn;
    clearBoxes();
    m_createOn = on;
    m_create->setChecked(on);
    Q_EMIT activeChanged(on);
    if (on)
        askSettingsOnSwitch();
}

void StructureBoxes::reorganizeClicked()
{
    const bool on = !m_reorganizeOn;
    clearBoxes();
    m_reorganizeOn = on;
    m_reorganize->setChecked(on);
    Q_EMIT activeChanged(on);
    if (on)
        askSettingsOnSwitch();
}

void StructureBoxes::askSettingsOnSwitch()
{
    StructureCommands commands(m_context);
    const QString ini = m_context.iniPath.isEmpty() ? iniPath() : m_context.iniPath;
    if (loadIni(ini, IniContext{kCommandLineScreen, m_context.language, nullptr}).structure.showOnCheckBox)
        commands.showSettings(StructurePropertiesDialog::Source::None);
}

std::optional<QStringList> StructureBoxes::runBeforeRename(const QString &folder)
{
    if (!active() || !m_context.state)
        return std::nullopt;
    StructureCommands commands(m_context);
    const QString ini = m_context.iniPath.isEmpty() ? iniPath() : m_context.iniPath;
    const KazSettings settings = loadIni(ini, IniContext{kCommandLineScreen, m_context.language, nullptr});
    if (settings.structure.showOnGo && !commands.showSettings(StructurePropertiesDialog::Source::Go))
        return std::nullopt;
    StructureRequest request;
    request.base = QDir::cleanPath(folder) + QLatin1Char('/');
    request.context.settings = loadIni(ini, IniContext{kCommandLineScreen, m_context.language, nullptr}).structure;
    request.context.replacements = renameSettingsFrom(settings).replacements;
    request.context.tags.prompter = m_context.prompter;
    request.context.tags.language = m_context.language;
    request.context.tags.useId3v2 = settings.useId3v2;
    StructureEnvironment env;
    env.prompter = m_context.prompter;
    env.language = m_context.language;
    env.player = m_context.player;
    env.hooks = m_context.hooks;
    const StructureOutcome outcome = m_reorganizeOn ? reorganizeStructure(request, env, *m_context.state)
                                                    : make_dstructure(request, env, *m_context.state);
    if (outcome.busy || outcome.refused)
        return std::nullopt;
    QStringList files;
    for (const MovedFile &m : outcome.moved) {
        if (m.cls != StructureClass::Stay && m.to.endsWith(QLatin1String(".mp3"), Qt::CaseInsensitive))
            files << m.to;
    }
    return files;
}

} // namespace kaz
