#include "Startup.h"

#include "config/ConfigFile.h"
#include "config/WindowPlacement.h"

#include "platform/MediaPlayerFactory.h"
#include "platform/HeadWrite.h"
#include "platform/TailJournal.h"
#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/ShellEntry.h"
#include "platform/SmallFile.h"
#include "platform/WorkFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace kaz {
namespace {

// Creates "~temp.kaz" with its one line (the about box reads it back).
bool passesWriteTest(const QString &folder)
{
    if (!QDir().mkpath(folder))
        return false;
    QFile file(folder + QLatin1Char('/') + QLatin1String(workfile::WriteTest));
    return openWorkFile(file, QIODevice::WriteOnly | QIODevice::Truncate) && file.write("\r\n") == 2 && file.flush();
}

void deleteWorkFiles(const QString &folder, std::initializer_list<const char *> names)
{
    for (const char *name : names) {
        const QString path = folder + QLatin1Char('/') + QLatin1String(name);
        if (QFileInfo(path).isFile())
            QFile::remove(path);
    }
}

bool playerExists(const QString &path)
{
    if (QFileInfo(path).isFile())
        return true;
    return !path.contains(QLatin1Char('/')) && !QStandardPaths::findExecutable(path).isEmpty();
}

} // namespace

std::optional<OpenTarget> openTarget(const QStringList &arguments)
{
    if (arguments.isEmpty())
        return std::nullopt;
    const QString path = arguments.size() >= 2 ? arguments.at(1) : arguments.at(0);
    if (path.isEmpty())
        return std::nullopt;
    const QFileInfo info(path);
    if (info.isDir())
        return OpenTarget{QDir::cleanPath(info.absoluteFilePath()), QString()};
    if (info.exists())
        return OpenTarget{QDir::cleanPath(info.absolutePath()), info.fileName()};
    return std::nullopt;
}

void checkStartFolder(KazSettings &settings, bool *warningShown, Prompter *prompter, Language language)
{
    if (QFileInfo(settings.lastDir).isDir())
        return;
    // The message names the folder the program really falls back to.
    const QString fallback = QDir::homePath();
    if (!*warningShown && prompter) {
        QString text = message(Msg::StartupFolder, language);
        text.replace(QStringLiteral("C:\\"), fallback);
        prompter->inform(MessageKind::Warning, text + settings.lastDir);
    }
    *warningShown = true;
    settings.lastDir = fallback;
}

bool checkWinampPath(KazSettings &settings, const QString &iniPath, Prompter *prompter, Language language)
{
    if (!isPlayerConfigured(settings.winampPath) || playerExists(settings.winampPath))
        return true;
    if (prompter)
        prompter->inform(MessageKind::Warning, message(Msg::WinampFolder, language));
    settings.winampPath = QStringLiteral(".");
    QString problem;
    if (!patchWinampPath(iniPath, settings.winampPath, &problem) && prompter)
        prompter->inform(MessageKind::Error, message(Msg::SettingsNotWritten, language) + problem);
    return false;
}

StartupResult startUp(const StartupRequest &request, Prompter &prompter)
{
    StartupResult r;
    r.withArguments = !request.arguments.isEmpty();
    Registry registry;
    r.language = languageFromKey(registry.value(Registry::kLanguage));
    // A start from the context menu reads the folder back; it does not record it.
    r.programFolder = programFolder();
    if (r.withArguments && !registry.value(Registry::kKazDirectory).isEmpty())
        r.programFolder = registry.value(Registry::kKazDirectory);

    // The write test comes before anything is recorded, so that a program that
    // cannot work writes nothing at all.
    if (!passesWriteTest(r.programFolder)) {
        r.outcome = StartupResult::Outcome::NotWritable;
        r.noSave = true;
        prompter.inform(MessageKind::Error, message(Msg::NotOnHardDisk, r.language));
        return r;
    }
    const auto tellNotWritten = [&](const QString &problem) {
        prompter.inform(MessageKind::Error, message(Msg::SettingsNotWritten, r.language) + problem);
    };
    QString problem;
    if (!r.withArguments) {
        registry.setValue(Registry::kKazDirectory, r.programFolder);
        if (!registry.save(&problem))
            tellNotWritten(problem);
    }
    r.shellRegistration = shellEntryExists();
    if (r.shellRegistration && !applyShellRegistration(true, r.language, r.programFolder, request.executable, &problem)
        && !problem.isEmpty())
        tellNotWritten(problem);
    // Tag writes killed in the last session; files changed since stay as they are.
    QStringList tailProblems;
    recoverInterruptedTailWrites(&tailProblems);
    recoverInterruptedHeadWrites(&tailProblems);
    if (!tailProblems.isEmpty())
        prompter.report(MessageKind::Warning,
                        QString::fromUtf8(tr2(r.language, "Tag writes of the last session could not be finished:",
                                              "Tag-Schreibvorgänge der letzten Sitzung konnten nicht beendet werden:")),
                        tailProblems);
    deleteWorkFiles(r.programFolder, {workfile::DirList, workfile::NewDirList, workfile::FolderList, workfile::FileList});

    r.iniPath = iniPath();
    const IniContext context{request.screen, r.language, &prompter};
    const bool iniExisted = QFileInfo::exists(r.iniPath);
    if (iniExisted) {
        r.settings = loadIni(r.iniPath, context);
        r.settingsLoaded = true;
    } else {
        if (!createDefaultIni(r.iniPath, context, &problem))
            tellNotWritten(problem);
        r.settings = KazSettings::defaults(request.screen, r.language);
    }

    if (const std::optional<OpenTarget> target = openTarget(request.arguments)) {
        r.settings.lastDir = target->folder;
        r.selectName = target->selectName;
    } else {
        checkStartFolder(r.settings, &r.startupFolderWarningShown, &prompter, r.language);
    }
    if (r.settingsLoaded) {
        r.applySelection = !r.startupFolderWarningShown;
        r.windowGeometry = windowGeometry(r.settings, request.screen);
    }
    r.winampKnown = checkWinampPath(r.settings, r.iniPath, iniExisted ? &prompter : nullptr, r.language);
    r.winampPathChecked = r.settings.winampPath.size() > 1;
    return r;
}

QStringList shutDown(const StartupResult &session, const KazSettings &settings, Language language,
                     bool shellRegistration, const QString &executable)
{
    QStringList problems;
    QString problem;
    if (!session.noSave) {
        if (!writeIniOnExit(session.iniPath, settings, &problem))
            problems.append(problem);
        deleteWorkFiles(session.programFolder, {workfile::DirList, workfile::NewDirList, workfile::WriteTest,
                                                workfile::PlayList, workfile::SendTo});
    }
    problem.clear();
    if (!applyShellRegistration(shellRegistration, language, session.programFolder, executable, &problem)
        && !problem.isEmpty())
        problems.append(problem);
    return problems;
}

} // namespace kaz
