#include "CliSupport.h"

#include "config/ConfigFile.h"
#include "platform/FolderListing.h"
#include "platform/MediaPlayerFactory.h"
#include "platform/Utf16Scan.h"

#include "CliCommand.h"

#include <QFile>
#include <QJsonDocument>
#include <QTextStream>

#include <algorithm>
#include <unistd.h>

namespace kaz::cli {

void out(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void err(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stderr);
}

void outBytes(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
}

void outJson(const QJsonObject &object)
{
    QByteArray line = QJsonDocument(object).toJson(QJsonDocument::Compact);
    line += '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stdout);
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

bool readFileList(const QString &listFile, QStringList *files, int *exitCode)
{
    QFile file;
    const bool opened = listFile == QLatin1String("-") ? file.open(stdin, QIODevice::ReadOnly)
                                                       : (file.setFileName(listFile), file.open(QIODevice::ReadOnly));
    if (!opened) {
        err(QStringLiteral("kaz-cli: cannot read the list %1: %2\n").arg(listFile, file.errorString()));
        return false;
    }
    const QByteArray all = file.readAll();
    files->reserve(files->size() + all.count('\n') + 1);
    for (qsizetype from = 0; from < all.size();) {
        qsizetype end = all.indexOf('\n', from);
        if (end < 0)
            end = all.size();
        QByteArrayView line(all.constData() + from, end - from);
        from = end + 1;
        if (line.endsWith('\r'))
            line.chop(1);
        if (line.isEmpty())
            continue;
        if (!isDecodableName(line)) {
            err(QStringLiteral("kaz-cli: %1: not valid UTF-8; such a name cannot be handled, the line is left out\n")
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
}

bool commandFiles(const QCommandLineParser &parser, const QString &noFiles, QStringList *files, int *exitCode)
{
    *files = parser.positionalArguments();
    if (parser.isSet(QStringLiteral("files-from")) && !readFileList(parser.value(QStringLiteral("files-from")), files, exitCode)) {
        *exitCode = ExitFileError;
        return false;
    }
    if (!files->isEmpty())
        return true;
    if (*exitCode == ExitOk) { // else every line of the list was refused
        err(noFiles);
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
        err(parser.errorText() + QLatin1Char('\n'));
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
    Language ignored;
    if (parser.isSet(QStringLiteral("lang")) && !languageFromCode(parser.value(QStringLiteral("lang")), &ignored)) {
        err(QStringLiteral("--lang takes en or de\n"));
        *exitCode = ExitUsage;
        return false;
    }
    return true;
}

int runSubcommand(const QStringList &arguments, const QString &usage,
                  std::initializer_list<std::pair<const char *, int (*)(const QStringList &)>> subcommands)
{
    if (arguments.size() < 2) {
        err(usage);
        return ExitUsage;
    }
    QStringList rest = arguments;
    const QString sub = rest.takeAt(1);
    rest[0] += QLatin1Char(' ') + sub;
    for (const auto &[name, run] : subcommands) {
        if (sub == QLatin1String(name))
            return run(rest);
    }
    if (sub == QLatin1String("--help") || sub == QLatin1String("-h")) {
        out(usage);
        return ExitOk;
    }
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
    const QString shown = visibleControls(forTerminal(text), true);
    err(shown.endsWith(QLatin1Char('\n')) ? shown : shown + QLatin1Char('\n'));
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
}

void ProgressBar::finish()
{
    if (m_drawn)
        err(QStringLiteral("\n"));
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

std::unique_ptr<MediaPlayer> configuredPlayer()
{
    return createMediaPlayer(loadIni(iniPath(), IniContext{}).winampPath);
}

} // namespace kaz::cli
