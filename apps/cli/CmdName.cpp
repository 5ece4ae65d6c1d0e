// kaz-cli name: prints the name the rename run would give each file.
#include "CliCommand.h"
#include "CliSupport.h"
#include "RenameOptions.h"

#include "rename/NameComposer.h"
#include "tags/TagIO.h"

#include <QFileInfo>
#include <QJsonObject>

namespace kaz::cli {
namespace {

int runName(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per file and line.")});
    addRenameSettingOptions(parser);
    addTagSourceOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("MP3 files."), QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Prints the name each file would get from 'kaz-cli rename' (a file whose\n"
                                         "tag lacks a chosen field gets its old name marked with \"! \")."),
                          &exitCode))
        return exitCode;
    const Language language = chosenLanguage(parser);
    RenameSettings settings;
    if (!renameSettingsFromOptions(parser, language, &settings))
        return ExitUsage;
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        say("needs at least one file", "braucht mindestens eine Datei");
        return ExitUsage;
    }
    TerminalPrompter prompter;
    TagContext context;
    context.prompter = &prompter;
    context.language = language;
    context.useId3v2 = useId3v2(parser);
    const bool json = parser.isSet(QStringLiteral("json"));
    int counter = 1;
    for (const QString &file : files) {
        const QString fileName = QFileInfo(file).fileName();
        QString base;
        QString extension = QStringLiteral(".mp3");
        bool complete = true;
        if (settings.userDefined) {
            base = userDefinedName(settings, counter++);
        } else {
            FsStatus status;
            TagRecord tag = readTag(file, context, &status);
            if (!status.ok()) {
                say(text(language, "cannot read %1: %2", "%1 ist nicht lesbar: %2").arg(printablePath(file), status.errorText()));
                exitCode = ExitFileError;
                continue;
            }
            replaceForbiddenCharacters(tag, settings.replacements);
            const NamePlan plan = planName(tag, fileName, settings);
            complete = plan.complete;
            base = complete ? plan.name : markedBase(fileName);
            if (!complete)
                extension = extensionOf(fileName);
        }
        const QString name = fitFileName(base, extension) + extension;
        if (json)
            outJson(QJsonObject{{QStringLiteral("file"), file}, {QStringLiteral("name"), name},
                                {QStringLiteral("complete"), complete}});
        else
            out(printablePath(name) + QLatin1Char('\n'));
    }
    return exitCode;
}

const CliCommand command("name", "Print the name each file would get from its tag", runName);

} // namespace
} // namespace kaz::cli
