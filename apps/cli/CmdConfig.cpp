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
        err(QStringLiteral("kaz-cli: cannot write %1\n").arg(problem));
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
    return text + ini::kTagSourceHeader + QLatin1Char('\n') + afterEnd;
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
        err(QStringLiteral("config show takes no arguments\n"));
        return ExitUsage;
    }
    TerminalPrompter prompter;
    const QString path = iniPath();
    const KazSettings settings = prepareIni(path, chosenLanguage(parser), prompter);
    if (parser.isSet(QStringLiteral("json")))
        outJson(settingsJson(path, settings));
    else
        out(settingsText(path, settings));
    return ExitOk;
}

QString keyList()
{
    QStringList keys;
    for (const ini::Field &f : ini::fields())
        keys.append(QString::fromLatin1(f.key));
    return keys.join(QStringLiteral(", "));
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
                          QStringLiteral("Changes one setting of the general block, of the directory structure or\n"
                                         "the tag source (ID3v2 true: use the ID3v2 tag where a file has no ID3v1\n"
                                         "tag; ID3v2Write update, add or off: what tag writes do with ID3v2 tags),\n"
                                         "keeping every other line of KAZ.INI. Keys: ")
                              + keyList() + QLatin1Char('.'),
                          &exitCode))
        return exitCode;
    const QStringList positional = parser.positionalArguments();
    if (positional.size() != 2) {
        err(QStringLiteral("config set takes a KEY and a VALUE\n"));
        return ExitUsage;
    }
    const QString key = positional.at(0);
    QString value = positional.at(1);
    const ini::Field *field = ini::findField(key);
    if (!field) {
        err(QStringLiteral("unknown setting '%1'; the settings are: %2\n").arg(key, keyList()));
        return ExitUsage;
    }
    if (field->line == 13) {
        if (!QFileInfo(value).isDir()) {
            err(QStringLiteral("LastDir: no such folder '%1'\n").arg(value));
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
        err(QStringLiteral("%1: the value '%2' is not usable\n").arg(QString::fromLatin1(field->key), value));
        return ExitUsage;
    case SetResult::WriteFailed:
        err(QStringLiteral("kaz-cli: cannot write %1\n").arg(problem));
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
            out(text + QLatin1Char('\n'));
        return ExitOk;
    }
    QString text = positional.at(1);
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    if (text.isEmpty() || text.contains(QLatin1Char('\n')) || text.contains(QLatin1Char('\r'))
        || text == ini::kEnd) {
        err(QStringLiteral("config exclude: the text '%1' is not usable\n").arg(text));
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
        err(QStringLiteral("config exclude: '%1' is not in the list\n").arg(text));
        return ExitFileError;
    }
    QString problem;
    if (!patchStructureSection(path, settings.structure, &problem)) {
        err(QStringLiteral("kaz-cli: cannot write %1\n").arg(problem));
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
