// kaz-cli config show / config set: the settings in KAZ.INI.
#include "CliCommand.h"
#include "CliSupport.h"

#include "config/ConfigFile.h"
#include "config/IniFormat.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>

#include <algorithm>

namespace kaz::cli {
namespace {

// As start-up does: a missing file is written, an old one converted.
KazSettings prepareIni(const QString &path, Language language, Prompter &prompter)
{
    const IniContext context{kCommandLineScreen, language, &prompter};
    QString problem;
    if (!QFileInfo::exists(path) && !createDefaultIni(path, context, &problem))
        say(text(messageLanguage(), "cannot write %1", "nicht schreibbar: %1").arg(visibleControls(problem)));
    return loadIni(path, context);
}

QJsonValue typedValue(const ini::Field &field, const KazSettings &s)
{
    const QString text = field.value(s);
    switch (field.kind) {
    case ini::Field::Switch:
        return text == QLatin1String("true");
    case ini::Field::Number:
        return text.isEmpty() ? QJsonValue() : QJsonValue(text.toInt());
    case ini::Field::Text:
        break;
    }
    return text;
}

QJsonObject settingsJson(const QString &path, const KazSettings &s)
{
    QJsonObject settings;
    for (const ini::Field &f : ini::fields())
        settings.insert(QString::fromLatin1(f.key), typedValue(f, s));
    QJsonArray folders;
    for (const QString &d : s.userDirectories)
        folders.append(d);
    QJsonArray programs;
    for (const ExternalProgram &p : s.externalPrograms)
        programs.append(QJsonObject{{QStringLiteral("caption"), p.caption}, {QStringLiteral("path"), p.path}});
    return QJsonObject{
        {QStringLiteral("file"), path},
        {QStringLiteral("settings"), settings},
        {QStringLiteral("userDirectories"), folders},
        {QStringLiteral("externalPrograms"), programs},
        {QStringLiteral("excludedAlbums"), QJsonArray::fromStringList(s.structure.excludedAlbums)},
    };
}

QString settingsText(const QString &path, const KazSettings &s)
{
    QString text = QStringLiteral("file: %1\n").arg(path);
    QString afterEnd;
    for (const ini::Field &f : ini::fields()) {
        if (f.isAfterEnd()) {
            if (!afterEnd.contains(*f.section))
                afterEnd += *f.section + QLatin1Char('\n');
            afterEnd += f.lineText(s) + QLatin1Char('\n');
            continue;
        }
        if (f.structureIndex == 0)
            text += ini::kUserDirsHeader + QLatin1Char('\n') + ini::renderUserSections(s).mid(1).join(QLatin1Char('\n'))
                    + QLatin1Char('\n') + ini::kStructureHeader + QLatin1Char('\n');
        text += f.lineText(s) + QLatin1Char('\n');
    }
    text += ini::kExcludeHeader + QLatin1Char('\n');
    for (const QString &album : s.structure.excludedAlbums)
        text += album + QLatin1Char('\n');
    return text + afterEnd;
}

int runShow(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object.")});
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Prints the settings in effect and the path of KAZ.INI (written with\n"
                                         "the defaults when it is missing)."),
                          &exitCode))
        return exitCode;
    if (!parser.positionalArguments().isEmpty()) {
        say("takes no arguments", "nimmt keine Argumente");
        return ExitUsage;
    }
    TerminalPrompter prompter;
    const QString path = iniPath();
    const KazSettings settings = prepareIni(path, chosenLanguage(parser), prompter);
    if (parser.isSet(QStringLiteral("json")))
        outJson(settingsJson(path, settings));
    else
        out(visibleControls(settingsText(path, settings), true));
    return ExitOk;
}

QString keyList()
{
    QStringList keys;
    for (const ini::Field &f : ini::fields())
        keys.append(QString::fromLatin1(f.key));
    return keys.join(QStringLiteral(", "));
}

// What each key of "config set" means, for its help.
const char *const kKeyMeanings[][2] = {
    {"Size", "window width*height, e.g. 601*471"},
    {"LastPosition_x", "window's left edge (empty: centred)"},
    {"LastPosition_y", "window's top edge (empty: centred)"},
    {"LastPosition", "true: start where the window was last"},
    {"SelectionBoxes", "rename page: 1st, 2nd and automatic selection, 3 digits"},
    {"Joliet", "true: names short enough for CD file systems"},
    {"Page", "page at start: 0 rename, 1 cleanup, 2 tags from names"},
    {"Hints", "On or Off: tool tips"},
    {"WinAmp", "media player: an MPRIS player, e.g. /usr/bin/vlc; . none"},
    {"LastDir", "folder shown at start"},
    {"Fontsize", "point size of the file list, 1 to 99"},
    {"Mask2", "file list filter at exit: 0 all, 1 tagged, 2 untagged"},
    {"Mask3", "true: sort ignoring leading non-letters"},
    {"clean1", "cleanup: true: capitalise the first letter"},
    {"clean2a", "cleanup: true: remove from position clean2b on"},
    {"clean2b", "cleanup: that position, 1 to 999"},
    {"clean3a", "cleanup: true: remove after the first clean3b words"},
    {"clean3b", "cleanup: that number of words, 1 to 99"},
    {"clean4a", "cleanup: true: remove before the last clean4b words"},
    {"clean4b", "cleanup: that number of words, 1 to 99"},
    {"nummern1", "number at a fixed place: -1 none, 0 beginning to 4 end"},
    {"nummern2", "before field: -1 none, 0 artist, 1 album, 2 title, 3 comment"},
    {"brackets", "brackets around numbers: 0 none, 1 [ ], 2 { }, 3 ( )"},
    {"Character", "nine characters in place of \\ / : * \" ? < > | in names"},
    {"Delimiter", "text between the fields of a name, 1 to 3 characters"},
    {"CreateDir", "structure folders: artist, album or artist&album"},
    {"VariousDir", "structure: folder for various artists"},
    {"ArtistRepeatings", "structure: songs that make an artist folder, 1 to 99"},
    {"VariousRepeatings", "structure: songs that make a various-artists album, 1 to 99"},
    {"CDR", "structure: size of a CD folder in MB, 44 to 790"},
    {"useful1", "structure: true: album and sampler folders"},
    {"useful2", "structure: true: CD1, CD2... folders from the comment"},
    {"useful3", "structure: true: excluded album names never make samplers"},
    {"useful4", "structure: true: pack into CD-sized folders"},
    {"show1", "structure: true: ask before Go! with a structure option"},
    {"show2", "structure: true: ask when create or reorganize is chosen"},
    {"show3", "structure: true: ask before the folder menu's commands"},
    {"search1", "structure: true: look for albums"},
    {"search2", "structure: true: look for samplers"},
    {"search3", "structure: true: look for various artists"},
    {"ID3v2", "true: read the ID3v2 tag of a file without an ID3v1 tag"},
    {"ID3v2Write", "update, add or off: what tag writes do with ID3v2 tags"},
    {"SplitAt", "tags from names: split every name at this text (empty: each name's own)"},
};

// The keys one per line, each with its meaning.
QString keyTable()
{
    QString table;
    for (const ini::Field &f : ini::fields()) {
        const QLatin1String key(f.key);
        QString meaning;
        for (const auto &[name, text] : kKeyMeanings) {
            if (key == QLatin1String(name))
                meaning = QString::fromUtf8(text);
        }
        table += QStringLiteral("  %1 %2\n").arg(QString(key).leftJustified(18), meaning);
    }
    return table;
}

// A value may start with "-" ("Fontsize -1"): everything that is not one of
// the command's own options goes behind "--", in its order.
QStringList dashValuesAsPositional(const QStringList &arguments)
{
    QStringList options{arguments.value(0)};
    QStringList positional;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &a = arguments.at(i);
        if (a == QLatin1String("--")) {
            positional += arguments.mid(i + 1);
            break;
        }
        if (a == QLatin1String("--help") || a == QLatin1String("-h") || a == QLatin1String("--help-all")
            || a.startsWith(QLatin1String("--lang="))) {
            options << a;
        } else if (a == QLatin1String("--lang")) {
            options << a << arguments.value(++i);
        } else {
            positional << a;
        }
    }
    return options + QStringList{QStringLiteral("--")} + positional;
}

int runSet(const QStringList &givenArguments)
{
    const QStringList arguments = dashValuesAsPositional(givenArguments);
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("KEY"), QStringLiteral("The setting, as KAZ.INI names it."));
    parser.addPositionalArgument(QStringLiteral("VALUE"), QStringLiteral("Its new value."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Changes one setting of KAZ.INI, keeping every other line. The keys:\n")
                              + keyTable(),
                          &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        say("takes a KEY and a VALUE", "nimmt einen KEY und einen VALUE");
        return ExitUsage;
    }
    const QString key = positional.at(0);
    QString value = positional.at(1);
    const ini::Field *field = ini::findField(key);
    if (!field) {
        say(text(messageLanguage(), "unknown setting '%1'; the settings are: %2", "unbekannte Einstellung '%1'; die Einstellungen sind: %2")
                .arg(visibleControls(key), keyList()));
        return ExitUsage;
    }
    if (field->line == 13) {
        if (!QFileInfo(value).isDir()) {
            say(text(messageLanguage(), "LastDir: no such folder '%1'", "LastDir: kein solcher Ordner '%1'").arg(visibleControls(value)));
            return ExitUsage;
        }
        value = QDir::cleanPath(QFileInfo(value).absoluteFilePath());
    }
    TerminalPrompter prompter;
    const QString path = iniPath();
    prepareIni(path, chosenLanguage(parser), prompter);
    QString problem;
    switch (setIniValue(path, key, value, &problem)) {
    case SetResult::Done:
        break;
    case SetResult::UnknownKey:
    case SetResult::BadValue:
        say(text(messageLanguage(), "%1: the value '%2' is not usable", "%1: der Wert '%2' ist nicht verwendbar")
                .arg(QString::fromLatin1(field->key), visibleControls(value)));
        return ExitUsage;
    case SetResult::WriteFailed:
        say(text(messageLanguage(), "cannot write %1", "nicht schreibbar: %1").arg(visibleControls(problem)));
        return ExitFileError;
    }
    const KazSettings settings = loadIni(path, IniContext{kCommandLineScreen, chosenLanguage(parser), &prompter});
    out(field->lineText(settings) + QLatin1Char('\n'));
    return ExitOk;
}

// The excluded album names of "[exclude album-names]": list, add, remove.
int runExclude(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addPositionalArgument(QStringLiteral("ACTION"), QStringLiteral("list, add or remove."));
    parser.addPositionalArgument(QStringLiteral("TEXT"), QStringLiteral("The text (add, remove)."), QStringLiteral("[TEXT]"));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Lists, adds or removes the texts that keep albums whose names contain\n"
                                         "one of them from becoming samplers. add removes trailing blanks and adds\n"
                                         "a text only once; remove takes the exact text."),
                          &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    const QString action = positional.value(0);
    if (!((action == QLatin1String("list") && positional.size() == 1)
          || ((action == QLatin1String("add") || action == QLatin1String("remove")) && positional.size() == 2))) {
        err(QStringLiteral("Usage: kaz-cli config exclude list | add TEXT | remove TEXT\n"));
        return ExitUsage;
    }
    TerminalPrompter prompter;
    const QString path = iniPath();
    KazSettings settings = prepareIni(path, chosenLanguage(parser), prompter);
    QStringList &excluded = settings.structure.excludedAlbums;
    if (action == QLatin1String("list")) {
        for (const QString &text : std::as_const(excluded))
            out(visibleControls(text) + QLatin1Char('\n'));
        return ExitOk;
    }
    QString text = positional.at(1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    if (text.isEmpty() || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
        || text == ini::kEnd) {
        say(QStringLiteral("the text '%1' is not usable").arg(visibleControls(text)));
        return ExitUsage;
    }
    if (action == QLatin1String("add")) {
        if (excluded.contains(text))
            return ExitOk;
        excluded.append(text);
        std::stable_sort(excluded.begin(), excluded.end(), [](const QString &a, const QString &b) {
            return QString::compare(a, b, Qt::CaseInsensitive) < 0;
        });
    } else if (excluded.removeAll(text) == 0) {
        say(QStringLiteral("'%1' is not in the list").arg(visibleControls(text)));
        return ExitFileError;
    }
    QString problem;
    if (!patchStructureSection(path, settings.structure, &problem)) {
        say(kaz::text(messageLanguage(), "cannot write %1", "nicht schreibbar: %1").arg(visibleControls(problem)));
        return ExitFileError;
    }
    return ExitOk;
}

int runConfig(const QStringList &arguments)
{
    const QString usage = QStringLiteral("Usage: kaz-cli config show [--json]\n"
                                         "       kaz-cli config set KEY VALUE\n"
                                         "       kaz-cli config exclude list | add TEXT | remove TEXT\n");
    return runSubcommand(arguments, usage, {{"show", runShow}, {"set", runSet}, {"exclude", runExclude}});
}

const CliCommand command("config", "Show or change the settings in KAZ.INI", runConfig);

} // namespace
} // namespace kaz::cli
