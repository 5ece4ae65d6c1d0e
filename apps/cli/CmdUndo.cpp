// kaz-cli undo: reverses the last rename run from its logs.
#include "CliCommand.h"
#include "CliSupport.h"
#include "RenameOptions.h"

#include "rename/RenameTexts.h"
#include "rename/Undo.h"
#include "platform/MediaPlayer.h"

namespace kaz::cli {
namespace {

int runUndo(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("yes"),
                      QStringLiteral("Answer the question whether to undo a run of an earlier session with yes.")});
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Gives the files of the last rename run their old names and folders back,\n"
                                         "removes the folders the run left empty, and deletes the undo logs."),
                          &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    if (!parser.positionalArguments().isEmpty()) {
        say("takes no arguments; it undoes the last run as a whole", "nimmt keine Argumente; es macht den letzten Lauf als Ganzes rückgängig");
        return ExitUsage;
    }
    if (!undoInformationExists()) {
        say(QString::fromUtf8(tr2(l, "there is nothing to undo (no undo logs of a run).\n",
                                  "nichts rückgängig zu machen (keine Protokolle eines Laufs).\n")));
        return ExitOk;
    }
    // Every kaz-cli call is a session of its own: the logs always come from
    // an earlier one, and the question must be answered.
    RunState state;
    state.filesTouched = parser.isSet(QStringLiteral("yes"));
    if (!state.filesTouched && !(isTerminal(stdin) && isTerminal(stderr))) {
        say(forTerminal(message(Msg::UndoFromLastSession, l)));
        say(QString::fromUtf8(tr2(l, "nothing done; the question needs a terminal or --yes.\n",
                                  "nichts getan; die Frage braucht ein Terminal oder --yes.\n")));
        return ExitFileError;
    }
    TerminalPrompter prompter;
    ProgressBar bar(QString::fromUtf8(tr2(l, "undo", "Rückgängig")));
    sayWhenInterrupted(text(l, "'kaz-cli undo' goes on with the others", "'kaz-cli undo' macht mit den übrigen weiter"));
    RunHooks hooks;
    hooks.progress = [&bar](qint64 position, qint64 total) { bar.update(position, total); };
    const std::unique_ptr<MediaPlayer> player = configuredPlayer();
    const UndoOutcome outcome = undoLastRun(state, &prompter, l, player.get(), hooks);
    bar.finish();
    if (outcome.busy) {
        say(runLockRefusal(outcome.lockProblem, l));
        return ExitFileError;
    }
    if (outcome.cancelled) {
        say(QString::fromUtf8(tr2(l, "cancelled.\n", "abgebrochen.\n")));
        return ExitOk;
    }
    out(QString::fromUtf8(tr2(l, "%1 files got their old names back, %2 already had them, %3 folders removed\n",
                              "%1 Dateien haben ihre alten Namen zurück, %2 hatten sie schon, %3 Verzeichnisse entfernt\n"))
            .arg(outcome.restored)
            .arg(outcome.alreadyThere)
            .arg(outcome.foldersRemoved));
    for (const QString &line : outcome.notes + outcome.failures)
        say(printablePath(line));
    if (outcome.keptLines > 0)
        say(QString::fromUtf8(tr2(l, "%1 lines that could not be undone stay in the undo logs; "
                                     "run 'kaz-cli undo' again once their cause is mended.\n",
                                  "%1 Zeilen, die nicht rückgängig gemacht werden konnten, bleiben in "
                                  "den Protokollen; 'kaz-cli undo' nach Behebung der Ursache erneut aufrufen.\n"))
                .arg(outcome.keptLines));
    return outcome.failures.isEmpty() ? ExitOk : ExitFileError;
}

const CliCommand command("undo", "Undo the last rename run", runUndo);

} // namespace
} // namespace kaz::cli
