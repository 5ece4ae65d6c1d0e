#include "StructureCommands.h"

#include "config/ConfigFile.h"
#include "platform/Messages.h"
#include "platform/Prompter.h"
#include "platform/Volumes.h"
#include "rename/RenameSettingsMapping.h"
#include "widgets/RunFrame.h"

#include <QDir>

namespace kaz {
namespace {

// The run frame when the window has one.
class OptionalGuard
{
public:
    explicit OptionalGuard(RunFrame *frame)
        : m_frame(frame)
    {
        if (m_frame)
            m_frame->begin();
    }
    ~OptionalGuard()
    {
        if (m_frame)
            m_frame->end();
    }

private:
    RunFrame *m_frame;
};

} // namespace

StructureCommands::StructureCommands(StructureCommandContext context, QObject *parent)
    : QObject(parent)
    , m_context(std::move(context))
{
}

StructureCommands::PopupState StructureCommands::popupState(const QString &folder, bool fileListEmpty)
{
    const bool root = folder.isEmpty() || isDriveRoot(folder);
    return PopupState{!root && !fileListEmpty, !root, !root};
}

KazSettings StructureCommands::loadSettings() const
{
    return loadIni(m_context.iniPath.isEmpty() ? iniPath() : m_context.iniPath,
                   IniContext{kCommandLineScreen, m_context.language, m_context.prompter});
}

bool StructureCommands::showSettings(StructurePropertiesDialog::Source source)
{
    StructurePropertiesDialog dialog(m_context.window);
    dialog.setPrompter(m_context.prompter);
    dialog.setIniPath(m_context.iniPath);
    dialog.prepare(loadSettings().structure, source, m_context.language);
    if (m_context.help)
        connect(&dialog, &StructurePropertiesDialog::helpRequested, &dialog, m_context.help);
    return dialog.exec() == QDialog::Accepted;
}

StructureRequest StructureCommands::request(const QString &folder, const KazSettings &settings) const
{
    StructureRequest r;
    r.base = QDir::cleanPath(folder) + QLatin1Char('/');
    r.context.settings = settings.structure;
    r.context.replacements = renameSettingsFrom(settings).replacements;
    r.context.tags.prompter = m_context.prompter;
    r.context.tags.language = m_context.language;
    r.context.tags.useId3v2 = settings.useId3v2;
    return r;
}

StructureEnvironment StructureCommands::environment() const
{
    StructureEnvironment e;
    e.prompter = m_context.prompter;
    e.language = m_context.language;
    e.player = m_context.player;
    e.hooks = m_context.hooks;
    return e;
}

// With "show3" the dialog comes first, and only its Save lets the run go on.
bool StructureCommands::settingsAllowRun(const KazSettings &settings)
{
    return !settings.structure.showOnFolderMenu || showSettings(StructurePropertiesDialog::Source::FolderMenu);
}

std::optional<StructureOutcome> StructureCommands::create(const QString &folder)
{
    OptionalGuard guard(m_context.frame);
    m_context.state->filesTouched = true;
    if (!settingsAllowRun(loadSettings()))
        return std::nullopt;
    return make_dstructure(request(folder, loadSettings()), environment(), *m_context.state);
}

std::optional<StructureOutcome> StructureCommands::reorganize(const QString &folder)
{
    OptionalGuard guard(m_context.frame);
    m_context.state->filesTouched = true;
    if (!m_context.prompter
        || m_context.prompter->ask(MessageKind::Warning, ButtonSet::YesCancel,
                                   message(Msg::ReorganizeWarning, m_context.language))
               != Button::Yes)
        return std::nullopt;
    if (!settingsAllowRun(loadSettings()))
        return std::nullopt;
    return reorganizeStructure(request(folder, loadSettings()), environment(), *m_context.state);
}

std::optional<StructureOutcome> StructureCommands::breakUp(const QString &folder)
{
    OptionalGuard guard(m_context.frame);
    m_context.state->filesTouched = true;
    BreakMode mode = BreakMode::Safe;
    if (hasSubfolders(folder)) {
        if (!m_context.prompter)
            return std::nullopt;
        const Button first = m_context.prompter->ask(MessageKind::Warning, ButtonSet::YesCancelIgnore,
                                                     message(Msg::BreakWithSecurityLevel, m_context.language));
        if (first == Button::Cancel)
            return std::nullopt;
        if (first == Button::Ignore) {
            if (m_context.prompter->ask(MessageKind::Warning, ButtonSet::YesNo,
                                        message(Msg::MoveAllFiles, m_context.language))
                != Button::Yes)
                return std::nullopt;
            mode = BreakMode::Full;
        }
    }
    return breakStructure(request(folder, loadSettings()), mode, environment(), *m_context.state);
}

} // namespace kaz
