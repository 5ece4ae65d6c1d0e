#include "StructureMenus.h"

#include "platform/Prompter.h"
#include "rename/RenameTexts.h"
#include "widgets/Captions.h"
#include "widgets/PageHost.h"
#include "widgets/RunFrame.h"

#include <QAction>
#include <QMenu>

namespace kaz {
namespace {

const Caption kCaptions[] = {
    {"Directorystructure1", "Directory structure", "Verzeichnisstruktur"},
    {"directorystructure2", "Directory-structure", "Verzeichnisstruktur"},
    {"createdirectorystructurewithoutrenaming1", "  create", "  erstellen"},
    {"reorganizedirectorystructurewithoutrenaming1", "  reorganize", "  reorganisieren"},
    {"breakdirectorystructure1", "  break", "  auflösen"},
};

} // namespace

StructureMenus::StructureMenus(PageHost &host, QWidget &window, RunState *state)
    : QObject(&window)
    , m_host(host)
    , m_window(window)
    , m_state(state ? state : &m_ownState)
{
    // Properties: before "WinAmp path" when it is there already.
    QMenu *properties = host.menu(HostMenu::Properties);
    QAction *player = window.findChild<QAction *>(QStringLiteral("WinAmppath1"));
    m_settings = addItem(properties, "Directorystructure1",
                         player ? player : window.findChild<QAction *>(QStringLiteral("Definecharactersdelimiter1")));
    connect(m_settings, &QAction::triggered, this, [this] {
        m_host.runInDialogFrame([this] { commands().showSettings(StructurePropertiesDialog::Source::None); });
    });

    QMenu *folders = host.menu(HostMenu::FolderList);
    QAction *explorer = window.findChild<QAction *>(QStringLiteral("startexploreroncurrentdirectory1"));
    m_header = addItem(folders, "directorystructure2", explorer);
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);
    m_header->setEnabled(false);
    m_create = addItem(folders, "createdirectorystructurewithoutrenaming1", explorer);
    m_reorganize = addItem(folders, "reorganizedirectorystructurewithoutrenaming1", explorer);
    m_break = addItem(folders, "breakdirectorystructure1", explorer);
    folders->insertSeparator(explorer);
    connect(folders, &QMenu::aboutToShow, this, &StructureMenus::updatePopup);
    connect(m_create, &QAction::triggered, this, [this] {
        run([](StructureCommands &c, const QString &folder) { return c.create(folder); });
    });
    connect(m_reorganize, &QAction::triggered, this, [this] {
        run([](StructureCommands &c, const QString &folder) { return c.reorganize(folder); });
    });
    connect(m_break, &QAction::triggered, this, [this] {
        run([](StructureCommands &c, const QString &folder) { return c.breakUp(folder); });
    });
    for (QAction *a : {m_settings, m_create, m_reorganize, m_break})
        host.runFrame().addLocked(a);
    applyLanguage(host.language());
}

QAction *StructureMenus::addItem(QMenu *menu, const char *name, QAction *before)
{
    auto *a = new QAction(menu);
    a->setObjectName(QLatin1String(name));
    if (before && menu->actions().contains(before))
        menu->insertAction(before, a);
    else
        menu->addAction(a);
    return a;
}

void StructureMenus::applyLanguage(Language language)
{
    applyCaptions(m_window, language, kCaptions);
    // The German set moves the key: Ctrl+V there.
    m_settings->setShortcut(QKeySequence(Qt::CTRL | (language == Language::German ? Qt::Key_V : Qt::Key_D)));
    if (m_commands)
        m_commands->setLanguage(language);
}

void StructureMenus::updatePopup()
{
    if (m_host.runFrame().running())
        return;
    const auto state = StructureCommands::popupState(m_host.files().currentFolder(), m_host.files().fileNames().isEmpty());
    m_create->setEnabled(state.create);
    m_reorganize->setEnabled(state.reorganize);
    m_break->setEnabled(state.breakUp);
}

// Made anew for each command, so that it uses the prompter, player and
// language the window has at that moment.
StructureCommands &StructureMenus::commands()
{
    StructureCommandContext context;
    context.window = &m_window;
    context.prompter = &m_host.prompter();
    context.frame = &m_host.runFrame();
    context.state = m_state;
    context.player = &m_host.mediaPlayer();
    context.language = m_host.language();
    context.hooks.processEvents = [this] { m_host.processEvents(); };
    context.help = [this](int c) { m_host.showHelp(c); };
    m_commands = std::make_unique<StructureCommands>(context, this);
    return *m_commands;
}

void StructureMenus::run(
    const std::function<std::optional<StructureOutcome>(StructureCommands &, const QString &)> &step)
{
    if (m_host.runFrame().running())
        return;
    m_host.hideRenameEdit();
    const QString folder = m_host.files().currentFolder();
    const auto outcome = step(commands(), folder);
    // The undo logs now hold this run: Undo belongs to this folder.
    if (outcome && (!outcome->moved.empty() || !outcome->failures.isEmpty()))
        m_state->lastStartFolder = folder;
    if (outcome && outcome->busy)
        m_host.prompter().inform(MessageKind::Warning, runLockRefusal(outcome->lockProblem, m_host.language()));
    if (outcome) {
        const QStringList problems = outcome->failures + outcome->lineBreakPaths;
        if (!problems.isEmpty())
            m_host.prompter().report(MessageKind::Warning,
                                     QString::fromUtf8(tr2(m_host.language(), "%1 files or folders could not be moved:",
                                                           "%1 Dateien oder Verzeichnisse konnten nicht verschoben "
                                                           "werden:"))
                                         .arg(problems.size()),
                                     problems);
    }
    m_host.files().refillFileList();
}

} // namespace kaz
