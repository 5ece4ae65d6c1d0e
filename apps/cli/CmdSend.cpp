// kaz-cli send: copies, moves or deletes files, as the window's
// copy/move/delete dialog does.
#include "CliCommand.h"
#include "CliSupport.h"

#include "tools/SendRun.h"
#include "tools/SendTexts.h"

#include <QFileInfo>

namespace kaz::cli {
namespace {

const char *const kUsage = "Usage: kaz-cli send copy --to DIR [--overwrite all|none] FILE...\n"
                           "       kaz-cli send move --to DIR FILE...\n"
                           "       kaz-cli send delete [--yes] [--permanent] FILE...\n";

QStringList absolutePaths(const QStringList &arguments)
{
    QStringList paths;
    for (const QString &argument : arguments)
        paths.append(QFileInfo(argument).absoluteFilePath());
    return paths;
}

void listAll(const QString &label, const QStringList &paths)
{
    for (const QString &path : paths)
        out(label + visibleControls(path) + QLatin1Char('\n'));
}

int report(const SendOutcome &outcome, SendOperation operation, Language l)
{
    if (outcome.refused())
        return outcome.refusal == SendOutcome::Refusal::Cancelled ? ExitOk : ExitFileError;
    switch (operation) {
    case SendOperation::Copy:
        out(QString::fromUtf8(tr2(l, "%1 files copied to %2\n", "%1 Dateien kopiert nach %2\n")).arg(outcome.done).arg(visibleControls(outcome.destination)));
        listAll(QString::fromUtf8(tr2(l, "exists, not copied: ", "existiert, nicht kopiert: ")), outcome.skipped);
        break;
    case SendOperation::Move:
        out(QString::fromUtf8(tr2(l, "%1 files moved to %2\n", "%1 Dateien verschoben nach %2\n")).arg(outcome.done).arg(visibleControls(outcome.destination)));
        listAll(QString::fromUtf8(tr2(l, "exists, stays: ", "existiert, bleibt: ")), outcome.skipped);
        break;
    case SendOperation::Delete:
        listAll(QString::fromUtf8(tr2(l, "to the trash: ", "in den Papierkorb: ")), outcome.trashed);
        listAll(QString::fromUtf8(tr2(l, "deleted for good: ", "endgültig gelöscht: ")), outcome.deletedForGood);
        break;
    }
    for (const QString &failure : outcome.failures + outcome.notTrashed)
        say(visibleControls(failure));
    if (!outcome.notTrashed.isEmpty())
        err(QString::fromUtf8(tr2(l, "kaz-cli send delete: --permanent deletes such files for good.\n",
                                  "kaz-cli send delete: --permanent löscht solche Dateien endgültig.\n")));
    const bool movesLeft = operation == SendOperation::Move && !outcome.skipped.isEmpty();
    return outcome.failures.isEmpty() && outcome.notTrashed.isEmpty() && !movesLeft ? ExitOk : ExitFileError;
}

int runTransfer(const QStringList &arguments, SendOperation operation)
{
    const bool copy = operation == SendOperation::Copy;
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("to"), QStringLiteral("The destination folder (made when missing)."), QStringLiteral("DIR")});
    if (copy)
        parser.addOption({QStringLiteral("overwrite"),
                          QStringLiteral("Existing targets: 'all' replaces them, 'none' (the default without a\n"
                                         "terminal) keeps them. On a terminal without it, each is asked about."),
                          QStringLiteral("all|none")});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The files."), QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    const QString description = copy ? QStringLiteral("Copies files into a folder after checking its free space. A copy goes\n"
                                                      "to a temporary name first, so a target is only ever replaced by a\n"
                                                      "complete copy.")
                                     : QStringLiteral("Moves files into a folder; an existing file there is never replaced:\n"
                                                      "such files stay where they are and are listed.");
    if (!parseCommandLine(parser, arguments, description, &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    SendRequest request;
    request.operation = operation;
    request.destination = parser.value(QStringLiteral("to"));
    request.paths = absolutePaths(parser.positionalArguments());
    if (request.destination.isEmpty() || request.paths.isEmpty()) {
        err(QString::fromLatin1(kUsage));
        return ExitUsage;
    }
    if (!request.destination.isEmpty())
        request.destination = QFileInfo(request.destination).absoluteFilePath();
    request.overwrite = OverwritePolicy::None;
    if (copy) {
        const QString overwrite = parser.value(QStringLiteral("overwrite"));
        if (overwrite == QLatin1String("all"))
            request.overwrite = OverwritePolicy::All;
        else if (overwrite.isEmpty() && isTerminal(stdin) && isTerminal(stderr))
            request.overwrite = OverwritePolicy::Ask;
        else if (!overwrite.isEmpty() && overwrite != QLatin1String("none")) {
            say("--overwrite takes 'all' or 'none'", "--overwrite nimmt 'all' oder 'none'");
            return ExitUsage;
        }
    }
    TerminalPrompter prompter(Button::No);
    ProgressBar bar(QString::fromUtf8(copy ? tr2(l, "copying", "Kopieren") : tr2(l, "moving", "Verschieben")));
    sayWhenInterrupted({});
    RunHooks hooks;
    hooks.progress = [&bar](qint64 position, qint64 total) { bar.update(position, total); };
    const SendOutcome outcome = sendFiles(request, &prompter, l, hooks);
    bar.finish();
    return report(outcome, operation, l);
}

int runCopy(const QStringList &arguments)
{
    return runTransfer(arguments, SendOperation::Copy);
}

int runMove(const QStringList &arguments)
{
    return runTransfer(arguments, SendOperation::Move);
}

int runDelete(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("yes"), QStringLiteral("Answer the question \"Really delete files?\" with yes.")});
    parser.addOption({QStringLiteral("permanent"),
                      QStringLiteral("Delete for good the files that no trash can take (without it they stay\n"
                                     "and the command fails).")});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The files."), QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Moves files into the desktop's trash, so that they can be taken back.\n"
                                         "A file no trash can take stays where it is (exit 1) unless --permanent\n"
                                         "is given. Says where each went."),
                          &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    SendRequest request;
    request.operation = SendOperation::Delete;
    request.paths = absolutePaths(parser.positionalArguments());
    if (request.paths.isEmpty()) {
        err(QString::fromLatin1(kUsage));
        return ExitUsage;
    }
    request.confirmed = parser.isSet(QStringLiteral("yes"));
    request.permanent = parser.isSet(QStringLiteral("permanent")) ? SendRequest::Permanent::Yes : SendRequest::Permanent::No;
    if (!request.confirmed && !(isTerminal(stdin) && isTerminal(stderr))) {
        say(forTerminal(sendText(SendText::ReallyDelete, l)));
        err(QString::fromUtf8(tr2(l, "kaz-cli send delete: nothing deleted; the question needs a terminal or --yes.\n",
                                  "kaz-cli send delete: nichts gelöscht; die Frage braucht ein Terminal oder --yes.\n")));
        return ExitFileError;
    }
    TerminalPrompter prompter(Button::Cancel);
    const SendOutcome outcome = sendFiles(request, &prompter, l);
    if (outcome.refusal == SendOutcome::Refusal::Cancelled)
        err(QString::fromUtf8(tr2(l, "kaz-cli send delete: cancelled.\n", "kaz-cli send delete: abgebrochen.\n")));
    return report(outcome, SendOperation::Delete, l);
}

int runSend(const QStringList &arguments)
{
    return runSubcommand(arguments, QString::fromLatin1(kUsage),
                         {{"copy", runCopy}, {"move", runMove}, {"delete", runDelete}});
}

const CliCommand command("send", "Copy, move or delete files", runSend);

} // namespace
} // namespace kaz::cli
