// kaz-cli demo: writes a generated collection of real MP3 files.
#include "CliCommand.h"
#include "CliSupport.h"

#include "tags/DemoCollection.h"

#include <QDir>

namespace kaz::cli {
namespace {

int runDemo(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("count"), QStringLiteral("Number of files (default 60)."), QStringLiteral("N")});
    parser.addOption({QStringLiteral("flat"), QStringLiteral("Put every file into DIR itself, no folder tree.")});
    parser.addOption({QStringLiteral("seed"), QStringLiteral("Seed of the generator (default 1)."), QStringLiteral("N")});
    parser.addPositionalArgument(QStringLiteral("DIR"), QStringLiteral("Folder to fill; created when missing. Existing files are never replaced."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Generates a demo collection of MP3 files with varied ID3v1 tags,\n"
                                         "Lyrics3 blocks, untagged files and awkward characters."),
                          &exitCode))
        return exitCode;
    if (parser.positionalArguments().size() != 1) {
        say("takes exactly one folder", "nimmt genau einen Ordner");
        return ExitUsage;
    }
    DemoOptions options;
    bool ok = true;
    if (parser.isSet(QStringLiteral("count")))
        options.count = parser.value(QStringLiteral("count")).toInt(&ok);
    if (!ok || options.count < 0) {
        say("--count takes a number of files", "--count nimmt eine Anzahl Dateien");
        return ExitUsage;
    }
    if (parser.isSet(QStringLiteral("seed")))
        options.seed = parser.value(QStringLiteral("seed")).toUInt(&ok);
    if (!ok) {
        say("--seed takes a number", "--seed nimmt eine Zahl");
        return ExitUsage;
    }
    options.tree = !parser.isSet(QStringLiteral("flat"));
    const QString dir = QDir(parser.positionalArguments().at(0)).absolutePath();
    QString error;
    const int written = createDemoCollection(dir, options, &error);
    if (written != options.count) {
        say(visibleControls(error));
        return ExitFileError;
    }
    out(QStringLiteral("%1 files written to %2\n").arg(written).arg(dir));
    return ExitOk;
}

const CliCommand command("demo", "Generate a demo collection of MP3 files", runDemo);

} // namespace
} // namespace kaz::cli
