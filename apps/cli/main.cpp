#include "CliCommand.h"
#include "CliSupport.h"

#include "platform/FolderListing.h"
#include "platform/HeadWrite.h"
#include "platform/Licence.h"
#include "platform/TailJournal.h"
#include "platform/Utf16Scan.h"

#include <QCoreApplication>

#include <algorithm>
#include <new>

using namespace kaz::cli;

namespace {

// The overview: on standard output when asked for, on standard error after
// a mistake.
void printUsage(bool asked)
{
    QString text = QStringLiteral("Usage: kaz-cli COMMAND [OPTIONS] [ARGUMENTS]\n\n"
                                  "KAZ brings order into collections of MP3 files.\n\nCommands:\n");
    QList<const CliCommand *> list = commands();
    std::sort(list.begin(), list.end(),
              [](const CliCommand *a, const CliCommand *b) { return qstrcmp(a->name, b->name) < 0; });
    for (const CliCommand *c : list)
        text += QStringLiteral("  %1%2\n").arg(QString::fromUtf8(c->name).leftJustified(10), QString::fromUtf8(c->summary));
    text += QStringLiteral("\nRun 'kaz-cli COMMAND --help' for the options of a command.\n"
                           "Exit status: 0 done, 1 a file could not be handled, 2 wrong usage.\n");
    if (asked)
        out(text);
    else
        err(text);
}

// A name that is not valid UTF-8 would be decoded into another name, and
// might then name a different file: it is refused before anything is done.
// Every other argument is decoded as QCoreApplication would decode it.
bool decodeArguments(int argc, char *argv[], QStringList *arguments)
{
    arguments->reserve(argc);
    for (int i = 0; i < argc; ++i) {
        const QByteArrayView argument(argv[i]);
        if (i == 0 || kaz::isDecodableName(argument)) {
            arguments->append(QString::fromUtf8(argument));
        } else {
            err(QStringLiteral("kaz-cli: %1: not valid UTF-8; such a name cannot be handled, nothing was done\n")
                    .arg(kaz::escapedName(argv[i])));
            return false;
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kaz-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KAZ_VERSION));

    QStringList arguments;
    if (!decodeArguments(argc, argv, &arguments))
        return ExitFileError;
    if (arguments.size() < 2) {
        say("a command is missing", "ein Befehl fehlt");
        printUsage(false);
        return ExitUsage;
    }
    if (arguments.at(1) == QLatin1String("--help") || arguments.at(1) == QLatin1String("-h")) {
        printUsage(true);
        return finishOutput(ExitOk);
    }
    if (arguments.at(1) == QLatin1String("--version")) {
        out(QStringLiteral("kaz-cli %1\n%2").arg(QCoreApplication::applicationVersion(), QString::fromUtf8(kaz::kLicenceNote)));
        return finishOutput(ExitOk);
    }
    const QString name = arguments.at(1);
    try {
        // A tag write killed halfway left its journal: put the file's old end back
        // before any command looks at it.
        QStringList problems;
        kaz::recoverInterruptedTailWrites(&problems);
        kaz::recoverInterruptedHeadWrites(&problems);
        for (const QString &problem : problems)
            say(visibleControls(problem));
        for (const CliCommand *command : commands()) {
            if (name == QLatin1String(command->name)) {
                arguments.removeAt(1);
                arguments[0] = QStringLiteral("kaz-cli ") + name;
                setCommandName(arguments[0]);
                return finishOutput(command->run(arguments));
            }
        }
    } catch (const std::bad_alloc &) {
        // Most runs plan over every file before they change one, and each
        // change is logged before it is made: undo takes back what was done.
        err(QStringLiteral("kaz-cli %1: out of memory, the run stopped\n").arg(name));
        return ExitFileError;
    }
    takeLanguageOption(arguments);
    say(text(messageLanguage(), "unknown command '%1'\n", "unbekannter Befehl '%1'\n").arg(visibleControls(name)));
    printUsage(false);
    return ExitUsage;
}
