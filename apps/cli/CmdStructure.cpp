// kaz-cli structure: builds, breaks or reorganises an artist/album folder structure.
#include "CliCommand.h"
#include "CliSupport.h"
#include "JsonLine.h"
#include "RenameOptions.h"

#include "config/ConfigFile.h"
#include "platform/Utf16Scan.h"
#include "rename/RenameSettingsMapping.h"
#include "rename/RenameTexts.h"
#include "structure/StructureRun.h"

#include <QDir>
#include <QFileInfo>
#include <QTextStream>

namespace kaz::cli {
namespace {

enum class Operation { Build, Break, Reorganize };

// A question is answered Yes by --yes, asked on a terminal, and otherwise
// refused: the run then moves nothing.
bool confirmed(const QString &question, bool yes, Language l, bool *refusedForLackOfTerminal = nullptr)
{
    say(forTerminal(question));
    if (yes)
        return true;
    if (!isTerminal(stdin) || !isTerminal(stderr)) {
        say(text(l, "nothing done; the question needs a terminal or --yes.",
                 "nichts getan; die Frage braucht ein Terminal oder --yes."));
        if (refusedForLackOfTerminal)
            *refusedForLackOfTerminal = true;
        return false;
    }
    err(QStringLiteral("[y/N] "));
    QTextStream in(stdin);
    const QString answer = in.readLine().trimmed().toLower();
    return answer.startsWith(QLatin1Char('y')) || answer.startsWith(QLatin1Char('j'));
}

// Answers the questions of the run itself (the too-small question) as
// confirmed() does and shows every message on standard error.
class StructurePrompter : public Prompter
{
public:
    StructurePrompter(bool yes, Language language)
        : m_yes(yes)
        , m_language(language)
    {
    }
    Button ask(MessageKind, ButtonSet buttons, const QString &text) override
    {
        if (buttons == ButtonSet::Ok) {
            say(forTerminal(text));
            return Button::Ok;
        }
        return confirmed(text, m_yes, m_language) ? Button::Yes : Button::Cancel;
    }

private:
    bool m_yes;
    Language m_language;
};

// Appends paths as printablePath() shows them, a folder at a time: the files
// of one album share their folder, which is made printable once.
class PrintedPaths
{
public:
    void append(QByteArray &text, const QString &path)
    {
        const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
        const QStringView folder = QStringView(path).first(slash + 1);
        if (folder != m_folder) {
            m_folder = folder.toString();
            m_printed = printablePath(m_folder).toUtf8();
        }
        text += m_printed;
        const QStringView name = QStringView(path).sliced(slash + 1);
        if (appendPlainAscii(text, name))
            return;
        if (hasControlCharacter(name))
            text += printablePath(name.toString()).toUtf8();
        else
            appendUtf8(text, name);
    }

private:
    // Most names are printable ASCII, their own UTF-8; false, with nothing
    // appended, for any other.
    static bool appendPlainAscii(QByteArray &text, QStringView name)
    {
        const qsizetype start = text.size();
        text.resize(start + name.size());
        char *out = text.data() + start;
        for (const QChar c : name) {
            if (c.unicode() < 0x20 || c.unicode() >= 0x7F) {
                text.truncate(start);
                return false;
            }
            *out++ = char(c.unicode());
        }
        return true;
    }

    QString m_folder;
    QByteArray m_printed;
};

void printMoves(const StructureOutcome &outcome, bool json)
{
    constexpr qsizetype kChunk = 1 << 16;
    QByteArray text;
    text.reserve(kChunk + 4096);
    PrintedPaths from, to;
    for (const MovedFile &m : outcome.moved) {
        if (json) {
            JsonLine line;
            line.add("from", m.from).add("to", m.to);
            if (m.cls != StructureClass::Stay)
                line.add("class", QString::fromLatin1(classMark(m.cls))).add("cd", m.cd);
            text += line.line();
        } else {
            from.append(text, m.from);
            text += '\t';
            to.append(text, m.to);
            text += '\n';
        }
        if (text.size() > kChunk) {
            outBytes(text);
            text.resize(0);
        }
    }
    outBytes(text);
}

int report(const StructureOutcome &outcome, Language l)
{
    for (const QString &path : outcome.lineBreakPaths)
        say(text(l, "left alone, the path holds a line break: %1", "nicht bearbeitet, der Pfad enthält einen Zeilenumbruch: %1")
                .arg(printablePath(path)));
    for (const QString &path : outcome.unsafePictureNames)
        say(text(l, "the former name of this picture file cannot be used; it keeps its name: %1",
                 "der frühere Name dieser Bilddatei ist nicht verwendbar; sie behält ihren Namen: %1")
                .arg(printablePath(path)));
    for (const QString &failure : outcome.failures)
        say(printablePath(failure));
    const bool problems = !outcome.lineBreakPaths.isEmpty() || !outcome.failures.isEmpty() || !outcome.moveComplete;
    return problems ? ExitFileError : ExitOk;
}

int runOperation(const QStringList &arguments, Operation operation)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("preview"), QStringLiteral("Show the moves; change nothing on disk.")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per moved file and line.")});
    parser.addOption({QStringLiteral("yes"), QStringLiteral("Answer the run's question with yes.")});
    if (operation == Operation::Break)
        parser.addOption({QStringLiteral("full"),
                          QStringLiteral("Empty every sub-folder that holds an MP3 file, its other files included "
                                         "(asks first).")});
    addTagSourceOptions(parser);
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("The base folder."));
    const char *descriptions[] = {
        "Sorts the MP3 files directly in DIR into folders by artist and album, samplers and various\n"
        "songs, by the settings of KAZ.INI's [directory structure]. Prints FROM<TAB>TO per moved file.",
        "Moves the MP3 files of every sub-folder of DIR up into DIR (numbered names where one is taken)\n"
        "and removes the emptied folders. Safe mode leaves folders with other files or with MP3 files\n"
        "without artist and album alone.",
        "Breaks the structure below DIR and builds it anew by the current settings; cover pictures\n"
        "and other files travel with their albums.",
    };
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QString::fromUtf8(descriptions[int(operation)])
                              + QStringLiteral("\n'kaz-cli undo' moves every file back; no file is ever replaced."),
                          &exitCode))
        return exitCode;
    const Language l = chosenLanguage(parser);
    if (parser.positionalArguments().size() != 1) {
        say("takes one folder", "nimmt einen Ordner");
        return ExitUsage;
    }
    const QFileInfo dir(parser.positionalArguments().first());
    if (!dir.isDir()) {
        say(text(l, "no such folder: %1", "kein solcher Ordner: %1").arg(printablePath(dir.filePath())));
        return ExitFileError;
    }
    const bool preview = parser.isSet(QStringLiteral("preview"));
    const bool yes = parser.isSet(QStringLiteral("yes"));

    StructurePrompter prompter(yes, l);
    const KazSettings settings = loadIni(iniPath(), IniContext{kCommandLineScreen, l, &prompter});
    StructureRequest request;
    request.base = QDir::cleanPath(dir.absoluteFilePath()) + QLatin1Char('/');
    request.preview = preview;
    request.context.settings = settings.structure;
    request.context.replacements = renameSettingsFrom(settings).replacements;
    request.context.tags.language = l;
    request.context.tags.quietWhenShort = true;
    request.context.tags.useId3v2 = parser.isSet(QStringLiteral("id3v2"))
                                    || (settings.useId3v2 && !parser.isSet(QStringLiteral("no-id3v2")));

    if (!preview && operation == Operation::Reorganize && !confirmed(message(Msg::ReorganizeWarning, l), yes, l))
        return ExitFileError;
    BreakMode mode = BreakMode::Safe;
    if (operation == Operation::Break && parser.isSet(QStringLiteral("full"))) {
        mode = BreakMode::Full;
        if (!preview && hasSubfolders(request.base) && !confirmed(message(Msg::MoveAllFiles, l), yes, l))
            return ExitFileError;
    }

    ProgressBar bar(QString::fromUtf8(tr2(l, "structure", "Struktur")));
    if (!preview)
        sayWhenInterrupted(text(l, "'kaz-cli undo' moves them back", "'kaz-cli undo' verschiebt sie zurück"));
    StructureEnvironment env;
    env.prompter = &prompter;
    env.language = l;
    env.hooks.progress = [&bar](qint64 position, qint64 total) { bar.update(position, total); };
    RunState state;
    StructureOutcome outcome;
    switch (operation) {
    case Operation::Build:
        outcome = make_dstructure(request, env, state);
        break;
    case Operation::Break:
        outcome = breakStructure(request, mode, env, state);
        break;
    case Operation::Reorganize:
        outcome = reorganizeStructure(request, env, state);
        break;
    }
    bar.finish();
    if (outcome.busy) {
        say(runLockRefusal(outcome.lockProblem, l));
        return ExitFileError;
    }
    if (outcome.refused)
        return ExitFileError;
    if (preview && outcome.tooBig)
        say(forTerminal(message(Msg::StructureSizeTooSmall, l)));
    printMoves(outcome, parser.isSet(QStringLiteral("json")));
    if (preview && !outcome.moveComplete)
        say(text(l, "not every sub-folder can be emptied: they hold other files, or MP3 files without artist and "
                    "album; the run would leave them and end with status 1",
                 "nicht jedes Unterverzeichnis lässt sich leeren: sie enthalten andere Dateien oder MP3-Dateien ohne "
                 "Interpret und Album; der Lauf ließe sie stehen und endete mit Status 1"));
    return report(outcome, l);
}

int runStructure(const QStringList &arguments)
{
    const QString usage = QStringLiteral("Usage: kaz-cli structure build DIR [--preview] [--json] [--yes]\n"
                                         "       kaz-cli structure break DIR [--full] [--preview] [--json] [--yes]\n"
                                         "       kaz-cli structure reorganize DIR [--preview] [--json] [--yes]\n");
    return runSubcommand(arguments, usage,
                         {{"build", [](const QStringList &a) { return runOperation(a, Operation::Build); }},
                          {"break", [](const QStringList &a) { return runOperation(a, Operation::Break); }},
                          {"reorganize", [](const QStringList &a) { return runOperation(a, Operation::Reorganize); }}});
}

const CliCommand command("structure", "Build, break or reorganise an artist/album folder structure", runStructure);

} // namespace
} // namespace kaz::cli
