// kaz-cli player: drives the configured media player as the window's play
// buttons and file pop-up do.
#include "CliCommand.h"
#include "CliSupport.h"
#include "JsonLine.h"

#include "platform/MediaPlayer.h"
#include "platform/MediaPlayerFactory.h"
#include "tools/PlayerControl.h"

#include <QFileInfo>

namespace kaz::cli {
namespace {

const char *const kUsage = "Usage: kaz-cli player play FILE...\n"
                           "       kaz-cli player add FILE...\n"
                           "       kaz-cli player stop | pause | next\n"
                           "       kaz-cli player status [--json]\n";

// Full paths of the files that exist; the others are reported.
QStringList existingFiles(const QStringList &arguments, bool *missing)
{
    QStringList files;
    for (const QString &argument : arguments) {
        const QFileInfo info(argument);
        if (info.isFile()) {
            files.append(info.absoluteFilePath());
        } else {
            say(text(messageLanguage(), "no such file: %1", "keine solche Datei: %1").arg(visibleControls(argument)));
            *missing = true;
        }
    }
    return files;
}

bool noPlayer(Language l)
{
    say(text(l, "no media player is set ('kaz-cli config set WinAmp PLAYER'), or there is no session bus.",
             "kein Mediaplayer eingestellt ('kaz-cli config set WinAmp PLAYER'), oder kein Sitzungsbus."));
    return false;
}

int queueFiles(const QStringList &arguments, bool replace)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The files, in play order."),
                                 QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    const QString description = replace ? QStringLiteral("Starts the player when it is not running, replaces its play list by the\n"
                                                         "files and plays from the first.")
                                        : QStringLiteral("Starts the player when it is not running and adds the files at the end\n"
                                                         "of its play list.");
    if (!parseCommandLine(parser, arguments, description, &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    if (parser.positionalArguments().isEmpty()) {
        say("needs files", "braucht Dateien");
        return ExitUsage;
    }
    bool missing = false;
    const QStringList files = existingFiles(parser.positionalArguments(), &missing);
    const std::unique_ptr<MediaPlayer> player = configuredPlayer();
    PlayerControl control(*player);
    const bool ok = replace ? control.playFiles(files) : control.addFiles(files);
    if (!ok) {
        const QString why = control.errorText(l);
        if (why.isEmpty())
            noPlayer(l);
        else
            say(forTerminal(why));
        return ExitFileError;
    }
    return missing ? ExitFileError : ExitOk;
}

int runPlay(const QStringList &arguments)
{
    return queueFiles(arguments, true);
}

int runAdd(const QStringList &arguments)
{
    return queueFiles(arguments, false);
}

// stop, pause, next: only a running player is told.
int simpleCommand(const QStringList &arguments, const QString &description, void (*act)(PlayerControl &))
{
    QCommandLineParser parser;
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments, description, &exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty()) {
        say("takes no arguments", "nimmt keine Argumente");
        return ExitUsage;
    }
    const std::unique_ptr<MediaPlayer> player = configuredPlayer();
    if (!player->isRunning()) {
        say("no player is running.", "kein Player läuft.");
        return ExitFileError;
    }
    PlayerControl control(*player);
    act(control);
    return ExitOk;
}

int runStop(const QStringList &arguments)
{
    return simpleCommand(arguments, QStringLiteral("Stops playing; the player stays open."),
                         [](PlayerControl &c) { c.stop(); });
}

int runPause(const QStringList &arguments)
{
    return simpleCommand(arguments, QStringLiteral("Pauses, or plays on after a pause."),
                         [](PlayerControl &c) { c.pauseToggle(); });
}

int runNext(const QStringList &arguments)
{
    return simpleCommand(arguments, QStringLiteral("Goes on with the next file of the play list."),
                         [](PlayerControl &c) { c.next(); });
}

int runStatus(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object.")});
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments, QStringLiteral("Tells whether the player runs and what it plays."),
                          &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    if (!parser.positionalArguments().isEmpty()) {
        say("takes no arguments", "nimmt keine Argumente");
        return ExitUsage;
    }
    const std::unique_ptr<MediaPlayer> player = configuredPlayer();
    const bool running = player->isRunning();
    const bool paused = running && player->isPaused();
    const bool playing = running && player->isPlaying() && !paused;
    const QString file = running ? player->currentFile() : QString();
    const qint64 position = running ? player->position() : 0;
    const qint64 lengthSeconds = running ? (player->length() + 500) / 1000 : 0;
    if (parser.isSet(QStringLiteral("json"))) {
        outBytes(JsonLine()
                     .add("running", running)
                     .add("playing", playing)
                     .add("paused", paused)
                     .add("file", file)
                     .add("position_ms", position)
                     .add("length_s", lengthSeconds)
                     .line());
        return ExitOk;
    }
    if (!running) {
        out(QString::fromUtf8(tr2(l, "not running\n", "läuft nicht\n")));
        return ExitOk;
    }
    const QString state = QString::fromUtf8(playing  ? tr2(l, "playing", "spielt")
                                            : paused ? tr2(l, "paused", "pausiert")
                                                     : tr2(l, "stopped", "gestoppt"));
    out(QStringLiteral("%1 %2:%3/%4:%5 %6\n")
            .arg(state)
            .arg(position / 60000)
            .arg(position / 1000 % 60, 2, 10, QLatin1Char('0'))
            .arg(lengthSeconds / 60)
            .arg(lengthSeconds % 60, 2, 10, QLatin1Char('0'))
            .arg(visibleControls(file)));
    return ExitOk;
}

int runPlayer(const QStringList &arguments)
{
    return runSubcommand(arguments, QString::fromLatin1(kUsage),
                         {{"play", runPlay},
                          {"add", runAdd},
                          {"stop", runStop},
                          {"pause", runPause},
                          {"next", runNext},
                          {"status", runStatus}});
}

const CliCommand command("player", "Play files in the media player, stop, pause, next, status", runPlayer);

} // namespace
} // namespace kaz::cli
