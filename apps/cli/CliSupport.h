#pragma once

#include "platform/Language.h"
#include "platform/Messages.h"
#include "platform/Registry.h"
#include "platform/Prompter.h"
#include "tags/Id3v2Write.h"

#include <QCommandLineParser>
#include <QJsonObject>
#include <QString>

#include <cstdio>
#include <memory>
#include <initializer_list>
#include <utility>

namespace kaz {
class MediaPlayer;
}

namespace kaz::cli {

// Writes to standard output or standard error as UTF-8.
void out(const QString &text);
void err(const QString &text);
void outBytes(const QByteArray &bytes);
// One JSON object on one line of standard output.
void outJson(const QJsonObject &object);

// The command being run ("kaz-cli tag set"), which names itself in every
// message; set by main() and runSubcommand().
void setCommandName(const QString &name);
// A message on standard error as "kaz-cli COMMAND: text" (a line end added
// when text has none), control characters shown as visibleControls() does.
void say(const QString &text);
// The same in the language of the messages.
void say(const char *english, const char *german);
// The language of the messages: --lang when the command line gave it, else
// the stored choice.
Language messageLanguage();
// Takes "--lang CODE" from arguments the parser could not take (a mistake
// before it, no command at all): the message about them is in that language.
void takeLanguageOption(const QStringList &arguments);

// Ends a command: an output that could not be written (a full disk, a closed
// pipe) is said and turns exitCode 0 into 1.
int finishOutput(int exitCode);

// Adds the options every command has (--help, --lang) and parses; prints
// usage errors itself. Returns false when the command should end with the
// given exit code (help shown, or wrong usage).
bool parseCommandLine(QCommandLineParser &parser, const QStringList &arguments, const QString &description,
                      int *exitCode);

// Runs the second-level command named by arguments[1] ("tag show", "config
// set"); prints usage for a missing or unknown one.
int runSubcommand(const QStringList &arguments, const QString &usage,
                  std::initializer_list<std::pair<const char *, int (*)(const QStringList &)>> subcommands);

// The language: --lang when given, else the stored choice.
Language chosenLanguage(const QCommandLineParser &parser);

// Answers the logic's messages on the terminal: information goes to standard
// error, a question is asked when standard input is a terminal and otherwise
// answered with the default button.
class TerminalPrompter : public Prompter
{
public:
    explicit TerminalPrompter(Button nonInteractiveAnswer = Button::Cancel);
    Button ask(MessageKind kind, ButtonSet buttons, const QString &text) override;

private:
    Button m_nonInteractiveAnswer;
};

// A progress bar on standard error, drawn only when it is a terminal. Its
// position is what an interrupted run reports (sayWhenInterrupted).
class ProgressBar
{
public:
    explicit ProgressBar(QString label);
    ~ProgressBar();
    void update(qint64 position, qint64 total);
    void finish();

private:
    QString m_label;
    bool m_enabled;
    int m_lastPercent = -1;
    bool m_drawn = false;
};

bool isTerminal(std::FILE *stream);

// Ctrl+C (or SIGTERM) ends a run at once, as a kill would: each step of a
// run is on the disk before the next one starts. Before it ends, the last
// progress line is closed and the count of files the run had handled is
// said, with undoHint (how to take them back; empty when nothing does).
void sayWhenInterrupted(const QString &undoHint);

// Text from files (tags, names) made safe for a terminal: control codes,
// escape sequences among them, are shown as \xNN; line breaks too unless
// kept.
QString visibleControls(const QString &text, bool keepLineBreaks = false);
// Whether text holds a character that visibleControls() would show as \xNN.
bool hasControlCharacter(QStringView text);

// The media player of KAZ.INI line 12 (the null player when none is set or
// there is no session bus).
std::unique_ptr<MediaPlayer> configuredPlayer();

// --id3v2 and --no-id3v2: whether a file without an ID3v1 tag is read by its
// ID3v2 tag. Without either the stored setting (KAZ.INI) holds.
void addTagSourceOptions(QCommandLineParser &parser);
bool useId3v2(const QCommandLineParser &parser);

// --id3v2-write update|add|off: what tag writes do with the files' ID3v2
// tags; without it the stored setting holds. A wrong value is reported and
// gives false.
void addId3v2WriteOption(QCommandLineParser &parser);
bool id3v2WriteMode(const QCommandLineParser &parser, id3v2::WriteMode *mode);

// Appends the names of a list file ("-": standard input) to files, one per
// line or, with nulSeparated, each ended by a NUL byte (find -print0);
// reports and returns false when the list cannot be read. A line that is not
// valid UTF-8 would decode into the name of another file, and a line that
// holds a NUL byte into a part of one: it is reported, left out, and exitCode
// set to 1.
bool readFileList(const QString &listFile, bool nulSeparated, QStringList *files, int *exitCode);
// "--files-from LIST" and "--null", for a command that takes files.
void addFilesFromOption(QCommandLineParser &parser);
// The files named on the command line and in the --files-from list. False
// when there is none to work on, with exitCode telling how the command
// ends: the list could not be read, each of its lines was refused, or no
// file was named (noFiles is said, a usage error).
bool commandFiles(const QCommandLineParser &parser, const QString &noFiles, QStringList *files, int *exitCode);

} // namespace kaz::cli
