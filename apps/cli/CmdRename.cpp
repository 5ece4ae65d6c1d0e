// kaz-cli rename: renames MP3 files after their tags, or previews it.
#include "CliCommand.h"
#include "CliSupport.h"
#include "RenameOptions.h"

#include "platform/FileOps.h"
#include "platform/FolderListing.h"
#include "rename/FileGathering.h"
#include "rename/FolderTree.h"
#include "platform/MediaPlayer.h"
#include "platform/PathParts.h"
#include "rename/RenameRun.h"
#include "rename/RunReport.h"
#include "rename/RenameTexts.h"
#include "platform/WorkFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonObject>

#include <algorithm>

namespace kaz::cli {
namespace {

QString absolute(const QString &path)
{
    return QDir::cleanPath(QDir::current().absoluteFilePath(path));
}

// The files of a folder that the file list would show under "*.mp3"; a
// folder that cannot be listed or a name that is not UTF-8 is reported.
QStringList mp3FilesOf(const QString &folder, int *exitCode)
{
    QStringList files;
    bool listed = false;
    int error = 0;
    const QList<FolderEntry> entries = listFolder(folder, &listed, &error);
    if (!listed) {
        say(text(messageLanguage(), "%1: cannot be listed: %2", "%1: nicht auflistbar: %2")
                .arg(printablePath(folder), FsStatus::fromErrno(error).errorText()));
        *exitCode = ExitFileError;
    }
    files.reserve(entries.size());
    const QString prefix = withSlash(folder);
    for (const FolderEntry &entry : entries) {
        if (entry.kind == FolderEntry::File && isMp3Name(entry.name))
            files.append(joined({prefix, entry.name}));
        if (entry.kind == FolderEntry::UndecodableFile && isMp3Name(entry.name)) {
            say(text(messageLanguage(), "%1: left alone, the name is not valid UTF-8",
                     "%1: nicht bearbeitet, der Name ist kein gültiges UTF-8")
                    .arg(printablePath(withSlash(folder) + entry.name)));
            *exitCode = ExitFileError;
        }
    }
    return files;
}

// PATH...: one folder, or files. Fills the request; false on wrong usage.
bool takePaths(const QStringList &paths, bool recursive, RenameRequest *request, int *exitCode)
{
    QStringList files;
    QStringList folders;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        if (info.isDir())
            folders.append(absolute(path));
        else if (!info.exists() && !info.isSymLink()) {
            say(text(messageLanguage(), "no such file or folder: %1", "keine solche Datei und kein solcher Ordner: %1")
                    .arg(printablePath(path)));
            *exitCode = ExitFileError;
        } else if (!isMp3Name(info.fileName())) {
            // "rename *" in an album folder names the cover too: it keeps its name.
            say(text(messageLanguage(), "%1: not an MP3 file, left alone", "%1: keine MP3-Datei, nicht bearbeitet")
                    .arg(printablePath(path)));
            *exitCode = ExitFileError;
        } else
            files.append(absolute(path));
    }
    if (folders.isEmpty() && files.isEmpty())
        return false;
    if (!folders.isEmpty() && (folders.size() > 1 || !files.isEmpty())) {
        say("takes one folder, or files", "nimmt einen Ordner oder Dateien");
        *exitCode = ExitUsage;
        return false;
    }
    request->settings.includeSubdirectories = recursive;
    if (!folders.isEmpty()) {
        request->startFolder = withSlash(folders.first());
        if (!recursive)
            request->selection = mp3FilesOf(folders.first(), exitCode);
    } else {
        request->selection = files;
        request->startFolder = files.isEmpty() ? QString() : QFileInfo(files.first()).absolutePath() + QLatin1Char('/');
    }
    return true;
}

QJsonObject rowJson(const PreviewRow &row)
{
    return QJsonObject{{QStringLiteral("status"), row.status},
                       {QStringLiteral("info"), row.info},
                       {QStringLiteral("currentName"), row.currentName},
                       {QStringLiteral("previewedName"), row.previewedName},
                       {QStringLiteral("path"), row.path}};
}

void printPreview(PreviewTable &table, bool json, Language language)
{
    table.sortByPath();
    table.numberDuplicates();
    table.markRows();
    if (json) {
        for (const PreviewRow &row : table.rows())
            outJson(rowJson(row));
        return;
    }
    // Names and tag texts can hold anything, escape sequences too: each
    // cell is shown on its line, never raw.
    QString text = PreviewTable::headers(language).join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (const PreviewRow &row : table.rows()) {
        text += printablePath(row.status) + QLatin1Char('\t') + printablePath(row.info) + QLatin1Char('\t')
                + printablePath(row.currentName) + QLatin1Char('\t') + printablePath(row.previewedName)
                + QLatin1Char('\t') + printablePath(row.path) + QLatin1Char('\n');
        if (text.size() > 1 << 16) {
            out(text);
            text.clear();
        }
    }
    out(text);
}

void printSummary(const RenameOutcome &outcome, bool json, Language l)
{
    if (json) {
        outJson(QJsonObject{{QStringLiteral("files"), outcome.files},
                            {QStringLiteral("renamed"), outcome.renamed},
                            {QStringLiteral("unchanged"), outcome.unchanged},
                            {QStringLiteral("marked"), outcome.notRenamed}});
        return;
    }
    out(QString::fromUtf8(tr2(l, "%1 files: %2 renamed, %3 kept their name, %4 marked with \"! \"\n",
                              "%1 Dateien: %2 umbenannt, %3 behielten ihren Namen, %4 mit \"! \" markiert\n"))
            .arg(outcome.files)
            .arg(outcome.renamed)
            .arg(outcome.unchanged)
            .arg(outcome.notRenamed));
}

int reportProblems(const RenameOutcome &outcome, Language l)
{
    const RunReport report = renameReport(outcome, l);
    for (const QString &line : report.lines)
        say(printablePath(line));
    return report.isEmpty() ? ExitOk : ExitFileError;
}

int runRename(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("preview"), QStringLiteral("Show the new names; change nothing.")});
    parser.addOption({QStringLiteral("recursive"),
                      QStringLiteral("With a folder: every MP3 file of its whole tree (files of 144 bytes or less "
                                     "left out).")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("With --preview one JSON object per file and line; "
                                                             "without, the counts as one JSON object.")});
    addRenameSettingOptions(parser);
    addTagSourceOptions(parser);
    parser.addPositionalArgument(QStringLiteral("PATH"),
                                 QStringLiteral("MP3 files (each renamed in its folder), or one folder."),
                                 QStringLiteral("PATH..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Renames MP3 files after their ID3 tags. Every rename is logged, so that\n"
                                         "'kaz-cli undo' can reverse the run; no file is ever replaced."),
                          &exitCode))
        return exitCode;
    const Language language = chosenLanguage(parser);
    RenameRequest request;
    if (!renameSettingsFromOptions(parser, language, &request.settings))
        return ExitUsage;
    if (parser.positionalArguments().isEmpty()) {
        say("needs files or a folder", "braucht Dateien oder einen Ordner");
        return ExitUsage;
    }
    if (!takePaths(parser.positionalArguments(), parser.isSet(QStringLiteral("recursive")), &request, &exitCode))
        return exitCode;
    request.preview = parser.isSet(QStringLiteral("preview"));

    TerminalPrompter prompter;
    ProgressBar bar(QString::fromUtf8(request.preview ? tr2(language, "preview", "Vorschau")
                                                      : tr2(language, "renaming", "Umbenennung")));
    RenameEnvironment environment;
    environment.prompter = &prompter;
    environment.language = language;
    environment.useId3v2 = useId3v2(parser);
    const std::unique_ptr<MediaPlayer> player = configuredPlayer();
    environment.player = player.get();
    environment.hooks.progress = [&bar](qint64 position, qint64 total) {
        if (position > 0)
            bar.update(position, total);
    };
    if (!request.preview)
        sayWhenInterrupted(text(language, "'kaz-cli undo' gives them their old names back",
                                "'kaz-cli undo' gibt ihnen ihre alten Namen zurück"));
    RunState state;
    RenameOutcome outcome = renaming(request, environment, state);
    bar.finish();
    if (outcome.busy) {
        say(runLockRefusal(outcome.lockProblem, language));
        return ExitFileError;
    }
    if (request.preview) {
        removeWorkFile(workfile::FileList); // no preview dialog takes it over
        printPreview(outcome.preview, parser.isSet(QStringLiteral("json")), language);
    } else {
        printSummary(outcome, parser.isSet(QStringLiteral("json")), language);
    }
    const int problems = reportProblems(outcome, language);
    return exitCode != ExitOk ? exitCode : problems;
}

const CliCommand command("rename", "Rename MP3 files after their tags (with preview)", runRename);

} // namespace
} // namespace kaz::cli
