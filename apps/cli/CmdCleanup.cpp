// kaz-cli cleanup: cleans up file names by a replace script, undoes the last
// cleanup run, and keeps the saved scripts.
#include "CleanupOptionsCli.h"
#include "CliCommand.h"
#include "CliSupport.h"
#include "JsonLine.h"
#include "RenameOptions.h"

#include "cleanup/CleanupRun.h"
#include "cleanup/CleanupTexts.h"
#include "cleanup/SavedRules.h"
#include "cleanup/ScriptEditing.h"
#include "platform/FileOps.h"
#include "platform/NativeName.h"
#include "platform/PathParts.h"
#include "platform/Utf16Scan.h"
#include "rename/RenameTexts.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>

namespace kaz::cli {
namespace {

// The non-MP3 question: answered by --non-mp3, on a terminal, or without
// one with "Yes" (only the MP3 files), which is said on standard error.
class CleanupPrompter : public Prompter
{
public:
    CleanupPrompter(const QString &nonMp3, Language language)
        : m_nonMp3(nonMp3)
        , m_language(language)
    {
    }

    Button ask(MessageKind kind, ButtonSet buttons, const QString &message) override
    {
        if (buttons != ButtonSet::YesCancelIgnore)
            return TerminalPrompter().ask(kind, buttons, message);
        if (m_nonMp3 == QLatin1String("skip"))
            return Button::Yes;
        if (m_nonMp3 == QLatin1String("include"))
            return Button::Ignore;
        say(forTerminal(message));
        if (!isTerminal(stdin) || !isTerminal(stderr)) {
            say(text(m_language, "no terminal to ask: only the MP3 files are cleaned "
                                 "(--non-mp3 include cleans all).\n",
                     "kein Terminal für die Frage: nur die MP3-Dateien werden bereinigt "
                     "(--non-mp3 include bereinigt alle).\n"));
            return Button::Yes;
        }
        err(text(m_language, "[Y]es: only MP3 files / [i]gnore: all files / [c]ancel: ",
                 "[J]a: nur MP3-Dateien / [i]gnorieren: alle Dateien / [a]bbrechen: "));
        QTextStream in(stdin);
        const QString answer = in.readLine().trimmed().toLower();
        if (answer.startsWith(QLatin1Char('i')))
            return Button::Ignore;
        if (answer.startsWith(QLatin1Char('c')) || answer.startsWith(QLatin1Char('a')))
            return Button::Cancel;
        return Button::Yes;
    }

private:
    QString m_nonMp3;
    Language m_language;
};

QStringView nameOf(const QString &path)
{
    return QStringView(path).mid(lastIndexOfUnit(path, u'/') + 1);
}

// The line of each file, taken as the run goes on: old name, tab, new
// name, or a JSON object. Into a pipe or a file they go a buffer at a time;
// a terminal gets them after the run, where the progress bar stands
// meanwhile. The files that kept their names are kept for the report at
// the end.
class FileLines
{
public:
    explicit FileLines(bool json)
        : m_json(json)
        , m_streaming(!isTerminal(stdout))
        , m_bytes(kChunk + 4096, Qt::Uninitialized)
    {
    }

    void take(const CleanupFileResult &file)
    {
        if (m_json) {
            append(JsonLine()
                       .add("file", file.oldPath)
                       .add("old", fileNameOf(file.oldPath))
                       .add("new", fileNameOf(file.finalPath))
                       .add("renamed", file.outcome == CleanupFileResult::Renamed)
                       .line());
        } else {
            appendNameLine(nameOf(file.oldPath), nameOf(file.finalPath));
        }
        if (file.outcome == CleanupFileResult::Skipped || file.outcome == CleanupFileResult::Failed)
            m_kept.append(file);
        if (m_streaming && m_used > kChunk)
            flush();
    }

    void flush()
    {
        outBytes(QByteArray::fromRawData(m_bytes.constData(), m_used));
        m_used = 0;
    }

    const QList<CleanupFileResult> &kept() const { return m_kept; }

private:
    static constexpr qsizetype kChunk = 1 << 16;

    // Where the next size bytes go.
    char *room(qsizetype size)
    {
        if (m_bytes.size() - m_used < size)
            m_bytes.resize(qMax(2 * m_bytes.size(), m_used + size));
        return m_bytes.data() + m_used;
    }

    void append(QByteArrayView bytes)
    {
        std::copy(bytes.begin(), bytes.end(), room(bytes.size()));
        m_used += bytes.size();
    }

    void appendNameLine(QStringView oldName, QStringView newName)
    {
        if (hasControlCharacter(oldName) || hasControlCharacter(newName)) {
            // Shown safely on a terminal.
            append(QByteArray(printablePath(oldName.toString()).toUtf8() + '\t'
                              + printablePath(newName.toString()).toUtf8() + '\n'));
            return;
        }
        char *const start = room(3 * (oldName.size() + newName.size()) + 2);
        char *end = writeUtf8(start, oldName);
        *end++ = '\t';
        end = writeUtf8(end, newName);
        *end++ = '\n';
        m_used += end - start;
    }

    bool m_json;
    bool m_streaming;
    QByteArray m_bytes; // the first m_used bytes are taken
    qsizetype m_used = 0;
    QList<CleanupFileResult> m_kept;
};

int reportKept(const QList<CleanupFileResult> &kept, Language l)
{
    if (kept.isEmpty())
        return ExitOk;
    say(cleanupText(CleanupText::KeptNames, l).arg(kept.size()));
    for (const CleanupFileResult &file : kept)
        err(QStringLiteral("  %1: %2\n").arg(printablePath(file.oldPath), file.reason));
    return ExitFileError;
}

int runUndo(Language l)
{
    const CleanupUndoOutcome outcome = undoCleanup();
    if (outcome.busy) {
        say(runLockRefusal(outcome.lockProblem, l));
        return ExitFileError;
    }
    if (outcome.nothingToUndo) {
        say(cleanupText(CleanupText::NothingToUndo, l));
        return ExitOk;
    }
    out(text(l, "%1 files got their old names back, %2 already had them\n",
             "%1 Dateien haben ihre alten Namen zurück, %2 hatten sie schon\n")
            .arg(outcome.restored)
            .arg(outcome.alreadyThere));
    for (const QString &line : outcome.notes + outcome.failures)
        say(printablePath(line));
    if (outcome.keptLines > 0)
        say(text(l, "%1 renames are kept in the undo log; 'kaz-cli cleanup --undo' tries them again.\n",
                 "%1 Umbenennungen bleiben im Rückgängig-Protokoll; 'kaz-cli cleanup --undo' versucht sie erneut.\n")
                .arg(outcome.keptLines));
    return outcome.failures.isEmpty() ? ExitOk : ExitFileError;
}

// lstat() of a full path, looked up in its folder's descriptor: the
// folders of a long list are walked once, not once per file.
bool statEntry(FolderDescriptor &folders, const QString &path, struct stat *st)
{
    const qsizetype slash = lastIndexOfUnit(path, u'/');
    const int fd = slash >= 0 && slash + 1 < path.size() ? folders.open(QStringView(path).left(slash + 1)) : -1;
    if (fd < 0)
        return ::lstat(NativeName(path).c_str(), st) == 0;
    return ::fstatat(fd, NativeName(QStringView(path).mid(slash + 1)).c_str(), st, AT_SYMLINK_NOFOLLOW) == 0;
}

// FILE...: full paths in the order given; folders, links, FIFOs and the
// like are no files to clean. The list is the arguments' own until a name
// has to change or go.
QStringList takeFiles(const QStringList &arguments, int *exitCode)
{
    QStringList files = arguments;
    qsizetype kept = 0;
    const QDir current = QDir::current();
    FolderDescriptor folders;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        const bool clean = isCleanAbsolutePath(argument);
        const QString path = clean ? argument : QDir::cleanPath(current.absoluteFilePath(argument));
        struct stat st {};
        if (statEntry(folders, path, &st) && !S_ISREG(st.st_mode)) {
            say(S_ISDIR(st.st_mode) ? QStringLiteral("a folder, not a file: %1").arg(printablePath(argument))
                                    : QStringLiteral("%1: not a regular file; left alone").arg(printablePath(argument)));
            *exitCode = ExitFileError;
            continue;
        }
        if (!clean || kept != i)
            files[kept] = path;
        ++kept;
    }
    if (kept != files.size())
        files.resize(kept);
    return files;
}

bool scriptFromOptions(const QCommandLineParser &parser, QString *script)
{
    *script = parser.value(QStringLiteral("script"));
    if (!parser.isSet(QStringLiteral("rule")))
        return true;
    const QString caption = parser.value(QStringLiteral("rule"));
    QString problem;
    const QList<SavedRuleItem> menu = savedRuleMenu(loadSavedRules(&problem));
    if (!problem.isEmpty()) {
        say(problem);
        return false;
    }
    const SavedRuleItem *item = findSavedRule(menu, caption);
    if (!item) {
        say(QStringLiteral("no saved rule '%1' (see 'kaz-cli cleanup rules list')").arg(caption));
        return false;
    }
    *script = appendEntry(*script, item->script);
    return true;
}

int runClean(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("script"), QStringLiteral("The replace script, as typed into the script field."),
                      QStringLiteral("SCRIPT")});
    parser.addOption({QStringLiteral("rule"), QStringLiteral("Append the saved script shown under CAPTION."),
                      QStringLiteral("CAPTION")});
    addCleanupOptions(parser);
    parser.addOption({QStringLiteral("non-mp3"),
                      QStringLiteral("Files that are no MP3 files: skip them, or include them (asked when not given)."),
                      QStringLiteral("skip|include")});
    parser.addOption({QStringLiteral("preview"), QStringLiteral("Show the new names; change nothing.")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per file and line.")});
    parser.addOption({QStringLiteral("undo"), QStringLiteral("Give the files of the last cleanup run their names back.")});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("Files, each cleaned in its own folder."),
                                 QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Cleans up file names by a replace script; the extension stays as it is.\n"
                                         "Every rename is logged first, so that 'kaz-cli cleanup --undo' can reverse\n"
                                         "the run; no file is ever replaced. Saved scripts: 'kaz-cli cleanup rules'."),
                          &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    if (parser.isSet(QStringLiteral("undo"))) {
        if (!parser.positionalArguments().isEmpty()) {
            say("--undo takes no files", "--undo nimmt keine Dateien");
            return ExitUsage;
        }
        return runUndo(l);
    }
    CleanupRequest request;
    const QString nonMp3 = parser.value(QStringLiteral("non-mp3"));
    if (parser.isSet(QStringLiteral("non-mp3")) && nonMp3 != QLatin1String("skip")
        && nonMp3 != QLatin1String("include")) {
        say("--non-mp3 takes skip or include", "--non-mp3 nimmt skip oder include");
        return ExitUsage;
    }
    if (!cleanupOptionsFromParser(parser, &request.options))
        return ExitUsage;
    if (parser.positionalArguments().isEmpty()) {
        say("needs files", "braucht Dateien");
        return ExitUsage;
    }
    if (!scriptFromOptions(parser, &request.script))
        return ExitFileError;
    request.paths = takeFiles(parser.positionalArguments(), &exitCode);
    request.preview = parser.isSet(QStringLiteral("preview"));

    CleanupPrompter prompter(nonMp3, l);
    ProgressBar bar(text(l, "cleanup", "Bereinigung"));
    CleanupEnvironment environment;
    environment.prompter = &prompter;
    environment.language = l;
    environment.hooks.progress = [&bar](qint64 position, qint64 total) { bar.update(position, total); };
    FileLines lines(parser.isSet(QStringLiteral("json")));
    environment.takeResult = [&lines](const CleanupFileResult &file) { lines.take(file); };
    if (!request.preview)
        sayWhenInterrupted(text(l, "'kaz-cli cleanup --undo' gives them their old names back",
                                "'kaz-cli cleanup --undo' gibt ihnen ihre alten Namen zurück"));
    const CleanupOutcome outcome = cleanupFiles(request, environment);
    bar.finish();
    if (outcome.busy) {
        say(runLockRefusal(outcome.lockProblem, l));
        return ExitFileError;
    }
    if (outcome.cancelled) {
        say(text(l, "cancelled.\n", "abgebrochen.\n"));
        return exitCode;
    }
    lines.flush();
    const int kept = reportKept(lines.kept(), l);
    return exitCode != ExitOk ? exitCode : kept;
}

int runRulesList(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per saved script and line.")});
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Lists the saved scripts in the order of the window's menu:\n"
                                         "caption, tab, script."),
                          &exitCode))
        return exitCode;
    QString problem;
    const QList<SavedRule> rules = loadSavedRules(&problem);
    if (!problem.isEmpty()) {
        say(problem);
        return ExitFileError;
    }
    QByteArray bytes;
    for (const SavedRuleItem &item : savedRuleMenu(rules)) {
        if (parser.isSet(QStringLiteral("json")))
            bytes += JsonLine()
                         .add("caption", item.caption)
                         .add("name", rules[item.record].name)
                         .add("script", item.script)
                         .line();
        else
            bytes += visibleControls(item.caption).toUtf8() + '\t' + visibleControls(item.script).toUtf8() + '\n';
    }
    outBytes(bytes);
    return ExitOk;
}

int runRulesSave(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("name"), QStringLiteral("The name the menu shows (else the script)."),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("last"), QStringLiteral("Save only the last entry of the script.")});
    parser.addPositionalArgument(QStringLiteral("SCRIPT"), QStringLiteral("The script to save."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments, QStringLiteral("Saves a replace script (or its last entry)."), &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    if (parser.positionalArguments().size() != 1) {
        say("takes one SCRIPT", "nimmt ein SCRIPT");
        return ExitUsage;
    }
    QString problem;
    switch (saveRule(parser.positionalArguments().first(), parser.isSet(QStringLiteral("last")),
                     parser.value(QStringLiteral("name")), &problem)) {
    case SaveRuleResult::Saved:
        return ExitOk;
    case SaveRuleResult::AlreadySaved:
        say(text(l, "the menu holds this script already; nothing written.\n",
                 "das Menü enthält dieses Script schon; nichts geschrieben.\n"));
        return ExitOk;
    case SaveRuleResult::NothingToSave:
        say("needs a script that is not empty", "braucht ein Skript, das nicht leer ist");
        return ExitUsage;
    case SaveRuleResult::WriteFailed:
        break;
    }
    say(QStringLiteral("cannot write %1").arg(problem.isEmpty() ? savedRulesPath() : problem));
    return ExitFileError;
}

int runRulesDelete(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("yes"), QStringLiteral("Answer the question whether to delete with yes.")});
    parser.addPositionalArgument(QStringLiteral("CAPTION"), QStringLiteral("The caption the menu shows."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments, QStringLiteral("Deletes a saved script."), &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    if (parser.positionalArguments().size() != 1) {
        say("takes one CAPTION", "nimmt eine CAPTION");
        return ExitUsage;
    }
    QString problem;
    const QList<SavedRuleItem> menu = savedRuleMenu(loadSavedRules(&problem));
    if (!problem.isEmpty()) {
        say(problem);
        return ExitFileError;
    }
    const SavedRuleItem *item = findSavedRule(menu, parser.positionalArguments().first());
    if (!item) {
        say(QStringLiteral("no saved rule '%1'").arg(parser.positionalArguments().first()));
        return ExitFileError;
    }
    if (!parser.isSet(QStringLiteral("yes"))) {
        if (!isTerminal(stdin) || !isTerminal(stderr)) {
            say(text(l, "nothing deleted; the question needs a terminal or --yes.\n",
                     "nichts gelöscht; die Frage braucht ein Terminal oder --yes.\n"));
            return ExitFileError;
        }
        if (TerminalPrompter().ask(MessageKind::Warning, ButtonSet::YesNo, cleanupText(CleanupText::ReallyDelete, l)
                                                                              .trimmed())
            != Button::Yes)
            return ExitOk;
    }
    if (!deleteRule(item->record, &problem)) {
        say(QStringLiteral("cannot write %1").arg(problem.isEmpty() ? savedRulesPath() : problem));
        return ExitFileError;
    }
    return ExitOk;
}

int runCleanup(const QStringList &arguments)
{
    if (arguments.size() > 1 && arguments.at(1) == QLatin1String("rules")) {
        QStringList rest = arguments;
        rest.removeAt(1);
        rest[0] += QStringLiteral(" rules");
        return runSubcommand(rest,
                             QStringLiteral("Usage: kaz-cli cleanup rules list [--json]\n"
                                            "       kaz-cli cleanup rules save [--name NAME] [--last] SCRIPT\n"
                                            "       kaz-cli cleanup rules delete CAPTION [--yes]\n"),
                             {{"list", runRulesList}, {"save", runRulesSave}, {"delete", runRulesDelete}});
    }
    return runClean(arguments);
}

const CliCommand command("cleanup", "Clean up file names by a replace script (undo, saved rules)", runCleanup);

} // namespace
} // namespace kaz::cli
