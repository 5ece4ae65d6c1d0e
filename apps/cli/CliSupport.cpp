#include "CliSupport.h"

#include "config/ConfigFile.h"
#include "platform/FileOps.h"
#include "platform/FolderListing.h"
#include "platform/MediaPlayerFactory.h"
#include "platform/Utf16Scan.h"

#include "CliCommand.h"

#include <QFile>
#include <QJsonDocument>
#include <QTextStream>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <optional>
#include <unistd.h>

namespace kaz::cli {
namespace {

QString commandName = QStringLiteral("kaz-cli");
std::optional<Language> givenLanguage; // --lang
std::optional<Language> storedChoice;
int outputError = 0; // errno of the first write to standard output that failed

void closeProgressLine(bool forStandardOutput);

void writeOut(const char *data, qsizetype size)
{
    closeProgressLine(true);
    if (std::fwrite(data, 1, size_t(size), stdout) != size_t(size) && outputError == 0)
        outputError = errno != 0 ? errno : EIO;
}

} // namespace

void setCommandName(const QString &name)
{
    commandName = name;
}

Language messageLanguage()
{
    if (givenLanguage)
        return *givenLanguage;
    if (!storedChoice)
        storedChoice = storedLanguage();
    return *storedChoice;
}

void takeLanguageOption(const QStringList &arguments)
{
    const qsizetype at = arguments.indexOf(QStringLiteral("--lang"));
    Language language;
    if (at > 0 && languageFromCode(arguments.value(at + 1), &language))
        givenLanguage = language;
}

void say(const QString &text)
{
    closeProgressLine(false);
    // Messages may quote names and tag texts: never raw to a terminal.
    QString line = commandName + QStringLiteral(": ") + visibleControls(text, true);
    if (!line.endsWith(QLatin1Char('\n')))
        line += QLatin1Char('\n');
    err(line);
}

void say(const char *english, const char *german)
{
    say(text(messageLanguage(), english, german));
}

int finishOutput(int exitCode)
{
    if (std::fflush(stdout) != 0 && outputError == 0)
        outputError = errno != 0 ? errno : EIO;
    if (outputError == 0 && std::ferror(stdout))
        outputError = EIO;
    if (outputError == 0)
        return exitCode;
    say(text(messageLanguage(), "the output could not be written: %1", "die Ausgabe konnte nicht geschrieben werden: %1")
            .arg(FsStatus::fromErrno(outputError).errorText()));
    return exitCode == ExitOk ? ExitFileError : exitCode;
}

void out(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    writeOut(bytes.constData(), bytes.size());
}

void err(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void outBytes(const QByteArray &bytes)
{
    writeOut(bytes.constData(), bytes.size());
}

void outJson(const QJsonObject &object)
{
    QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    line += '\n';
    writeOut(line.constData(), line.size());
}

bool isTerminal(std::FILE *stream)
{
    return ::isatty(::fileno(stream)) == 1;
}

namespace {

bool isControl(char16_t u)
{
    return u < 0x20 || u == 0x7F || (u >= 0x80 && u < 0xA0);
}

} // namespace

bool hasControlCharacter(QStringView text)
{
    if (allUnitsWithin(text, 0x20, 0x7E))
        return false; // printable ASCII, most names
    return std::any_of(text.begin(), text.end(), [](QChar c) { return isControl(c.unicode()); });
}

QString visibleControls(const QString &text, bool keepLineBreaks)
{
    const auto hidden = [keepLineBreaks](QChar c) {
        return isControl(c.unicode()) && !(keepLineBreaks && c == u'\n');
    };
    if (std::none_of(text.begin(), text.end(), hidden))
        return text; // shared, not copied: the common case of a long list
    QString shown;
    shown.reserve(text.size());
    for (const QChar c : text) {
        if (hidden(c))
            shown += QStringLiteral("\\x%1").arg(int(c.unicode()), 2, 16, QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

bool readFileList(const QString &listFile, bool nulSeparated, QStringList *files, int *exitCode)
{
    QFile file;
    const bool opened = listFile == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                       : (file.setFileName(listFile), file.open(QIODevice::ReadOnly));
    if (!opened) {
        say(text(messageLanguage(), "cannot read the list %1: %2", "die Liste %1 ist nicht lesbar: %2")
                .arg(visibleControls(listFile), file.errorString()));
        return false;
    }
    const char separator = nulSeparated ? '\0' : '\n';
    const QByteArray all = file.readAll();
    files->reserve(files->size() + all.count(separator) + 1);
    qsizetype number = 0;
    for (qsizetype from = 0; from < all.size();) {
        qsizetype end = all.indexOf(separator, from);
        if (end < 0)
            end = all.size();
        QByteArrayView line(all.constData() + from, end - from);
        from = end + 1;
        ++number;
        if (!nulSeparated && line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (!nulSeparated && line.contains('\0')) {
            say(text(messageLanguage(),
                     "line %1 of the list holds a NUL byte and is left out (a list from 'find -print0' is read with --null)",
                     "Zeile %1 der Liste enthält ein NUL-Byte und bleibt unbearbeitet (eine Liste von 'find -print0' "
                     "wird mit --null gelesen)")
                    .arg(number));
            *exitCode = ExitFileError;
            continue;
        }
        if (!isDecodableName(line)) {
            say(text(messageLanguage(), "%1: not valid UTF-8; such a name cannot be handled, the line is left out",
                     "%1: kein gültiges UTF-8; ein solcher Name ist nicht verwendbar, die Zeile bleibt unbearbeitet")
                    .arg(escapedName(line)));
            *exitCode = ExitFileError;
            continue;
        }
        files->append(QString::fromUtf8(line)); // valid UTF-8, as every name handled
    }
    return true;
}

void addFilesFromOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("files-from"),
                      QStringLiteral("Read the file names from LIST, one per line (- for standard input)."),
                      QStringLiteral("LIST")});
    parser.addOption({{QStringLiteral("0"), QStringLiteral("null")},
                      QStringLiteral("The names in the --files-from list each end with a NUL byte, not a line end "
                                     "(as 'find -print0' writes them).")});
}

bool commandFiles(const QCommandLineParser &parser, const QString &noFiles, QStringList *files, int *exitCode)
{
    *files = parser.positionalArguments();
    const bool nulSeparated = parser.isSet(QStringLiteral("null"));
    if (nulSeparated && !parser.isSet(QStringLiteral("files-from"))) {
        say("--null goes with --files-from", "--null gehört zu --files-from");
        *exitCode = ExitUsage;
        return false;
    }
    if (parser.isSet(QStringLiteral("files-from"))
        && !readFileList(parser.value(QStringLiteral("files-from")), nulSeparated, files, exitCode)) {
        *exitCode = ExitFileError;
        return false;
    }
    if (!files->isEmpty())
        return true;
    if (*exitCode == ExitOk) { // else every line of the list was refused
        say(noFiles);
        *exitCode = ExitUsage;
    }
    return false;
}

bool parseCommandLine(QCommandLineParser &parser, const QStringList &arguments, const QString &description,
                      int *exitCode)
{
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addOption({QStringLiteral("lang"), QStringLiteral("Language of messages: en or de."),
                      QStringLiteral("en|de")});
    if (!parser.parse(arguments)) {
        takeLanguageOption(arguments); // --lang may come after the mistake
        say(parser.errorText());
        *exitCode = ExitUsage;
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        // Qt names the program by its path; the command's own name says more.
        QString help = parser.helpText();
        const qsizetype end = help.indexOf(QLatin1Char(' '), 7);
        if (help.startsWith(QLatin1String("Usage: ")) && end > 0 && !arguments.isEmpty())
            help.replace(7, end - 7, arguments.first());
        out(help);
        *exitCode = ExitOk;
        return false;
    }
    if (parser.isSet(QStringLiteral("lang"))) {
        Language language;
        if (!languageFromCode(parser.value(QStringLiteral("lang")), &language)) {
            say("--lang takes en or de", "--lang nimmt en oder de");
            *exitCode = ExitUsage;
            return false;
        }
        givenLanguage = language;
    }
    return true;
}

int runSubcommand(const QStringList &arguments, const QString &usage,
                  std::initializer_list<std::pair<const char *, int (*)(const QStringList &)>> subcommands)
{
    if (arguments.size() < 2) {
        say("a subcommand is missing", "ein Unterbefehl fehlt");
        err(usage);
        return ExitUsage;
    }
    QStringList rest = arguments;
    const QString sub = rest.takeAt(1);
    rest[0] += QLatin1Char(' ') + sub;
    for (const auto &[name, run] : subcommands) {
        if (sub == QLatin1String(name)) {
            setCommandName(rest[0]);
            return run(rest);
        }
    }
    if (sub == QLatin1String("--help") || sub == QLatin1String("-h")) {
        out(usage);
        return ExitOk;
    }
    takeLanguageOption(rest);
    say(text(messageLanguage(), "unknown subcommand '%1'", "unbekannter Unterbefehl '%1'").arg(visibleControls(sub)));
    err(usage);
    return ExitUsage;
}

Language chosenLanguage(const QCommandLineParser &parser)
{
    Language language = kDefaultLanguage;
    if (parser.isSet(QStringLiteral("lang")) && languageFromCode(parser.value(QStringLiteral("lang")), &language))
        return language;
    return storedLanguage();
}

TerminalPrompter::TerminalPrompter(Button nonInteractiveAnswer)
    : m_nonInteractiveAnswer(nonInteractiveAnswer)
{
}

Button TerminalPrompter::ask(MessageKind, ButtonSet buttons, const QString &text)
{
    say(forTerminal(text));
    if (buttons == ButtonSet::Ok)
        return Button::Ok;
    if (!isTerminal(stdin) || !isTerminal(stderr))
        return m_nonInteractiveAnswer;
    err(buttons == ButtonSet::OkNoAll ? QStringLiteral("[y/N/a(ll)] ") : QStringLiteral("[y/N] "));
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    if (buttons == ButtonSet::OkNoAll && answer.startsWith(QLatin1Char('a')))
        return Button::All;
    const bool yes = answer.startsWith(QLatin1Char('y')) || answer.startsWith(QLatin1Char('j'));
    const bool okSet = buttons == ButtonSet::OkCancel || buttons == ButtonSet::OkNoAll;
    if (yes)
        return okSet ? Button::Ok : Button::Yes;
    return buttons == ButtonSet::YesNo || buttons == ButtonSet::OkNoAll ? Button::No : Button::Cancel;
}

namespace {

// What the interrupt handler says; filled before it is installed, and read
// only there, where nothing may be allocated.
struct InterruptNote {
    std::array<char, 512> before{}; // "kaz-cli rename: interrupted after "
    std::array<char, 64> of{};      // " of "
    std::array<char, 512> after{};  // " files; 'kaz-cli undo' ...\n"
    std::atomic<qint64> position{0};
    std::atomic<qint64> total{0};
    std::atomic<bool> barOpen{false};
};
InterruptNote interruptNote;
static_assert(std::atomic<qint64>::is_always_lock_free);

// A line written while a progress bar stands on the terminal goes below it;
// the bar is drawn anew beneath at its next step.
void closeProgressLine(bool forStandardOutput)
{
    static const bool outputOnTerminal = isTerminal(stdout);
    if (forStandardOutput && !outputOnTerminal)
        return;
    if (interruptNote.barOpen.exchange(false))
        std::fputc('\n', stderr);
}

void copyInto(std::array<char, 512> &to, const QByteArray &from)
{
    const size_t n = std::min(size_t(from.size()), to.size() - 1);
    std::copy_n(from.constData(), n, to.data());
    to[n] = '\0';
}

void writeText(const char *text)
{
    const size_t n = std::strlen(text);
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, text, n);
}

void writeNumber(qint64 n)
{
    char digits[24];
    char *p = digits + sizeof digits;
    *--p = '\0';
    do {
        *--p = char('0' + n % 10);
        n /= 10;
    } while (n > 0 && p > digits);
    writeText(p);
}

extern "C" void sayInterrupted(int signal)
{
    const int savedErrno = errno;
    if (interruptNote.barOpen.load())
        writeText("\n");
    writeText(interruptNote.before.data());
    writeNumber(std::max<qint64>(0, interruptNote.position.load()));
    if (interruptNote.total.load() > 0) {
        writeText(interruptNote.of.data());
        writeNumber(interruptNote.total.load());
    }
    writeText(interruptNote.after.data());
    errno = savedErrno;
    // The handler was reset on entry: the signal now ends the process.
    ::raise(signal);
}

} // namespace

void sayWhenInterrupted(const QString &undoHint)
{
    const Language l = messageLanguage();
    copyInto(interruptNote.before,
             (commandName + QStringLiteral(": ") + text(l, "interrupted after ", "abgebrochen nach ")).toUtf8());
    const QByteArray of = text(l, " of ", " von ").toUtf8();
    std::copy_n(of.constData(), of.size() + 1, interruptNote.of.data());
    copyInto(interruptNote.after,
             (text(l, " files", " Dateien") + (undoHint.isEmpty() ? QString() : QStringLiteral("; ") + undoHint)
              + QStringLiteral(".\n"))
                 .toUtf8());
    struct sigaction action {};
    action.sa_handler = sayInterrupted;
    action.sa_flags = SA_RESETHAND;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
}

ProgressBar::ProgressBar(QString label)
    : m_label(std::move(label))
    , m_enabled(isTerminal(stderr))
{
}

ProgressBar::~ProgressBar()
{
    finish();
}

void ProgressBar::update(qint64 position, qint64 total)
{
    interruptNote.position.store(position);
    interruptNote.total.store(total);
    if (!m_enabled || total <= 0)
        return;
    const int percent = int(100 * qMin(position, total) / total);
    if (percent == m_lastPercent)
        return;
    m_lastPercent = percent;
    const int width = 30;
    const int filled = percent * width / 100;
    err(QStringLiteral("\r%1 [%2%3] %4% (%5/%6)")
            .arg(m_label, QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char(' ')))
            .arg(percent)
            .arg(position)
            .arg(total));
    m_drawn = true;
    interruptNote.barOpen.store(true);
}

void ProgressBar::finish()
{
    if (m_drawn)
        closeProgressLine(false);
    m_drawn = false;
}

void addTagSourceOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("id3v2"),
                      QStringLiteral("Use the ID3v2 tag at the start of a file that has no ID3v1 tag.")});
    parser.addOption({QStringLiteral("no-id3v2"), QStringLiteral("Read the ID3v1 tag only, whatever the stored setting says.")});
}

bool useId3v2(const QCommandLineParser &parser)
{
    if (parser.isSet(QStringLiteral("id3v2")))
        return true;
    if (parser.isSet(QStringLiteral("no-id3v2")))
        return false;
    return loadIni(iniPath(), IniContext{}).useId3v2;
}

void addId3v2WriteOption(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("id3v2-write"),
                      QStringLiteral("What happens to the ID3v2 tag at the start of each file: update it where "
                                     "there is one, add one (ID3v2.3) where there is none, or leave it off "
                                     "(only the tags at the end are written). Default: the setting."),
                      QStringLiteral("update|add|off")});
}

bool id3v2WriteMode(const QCommandLineParser &parser, id3v2::WriteMode *mode)
{
    const QString value = parser.isSet(QStringLiteral("id3v2-write")) ? parser.value(QStringLiteral("id3v2-write"))
                                                                      : loadIni(iniPath(), IniContext{}).id3v2Write;
    const std::optional<id3v2::WriteMode> chosen = id3v2::writeModeFromName(value);
    if (!chosen) {
        err(QStringLiteral("--id3v2-write takes update, add or off\n"));
        return false;
    }
    *mode = *chosen;
    return true;
}

std::unique_ptr<MediaPlayer> configuredPlayer()
{
    return createMediaPlayer(loadIni(iniPath(), IniContext{}).winampPath);
}

} // namespace kaz::cli
