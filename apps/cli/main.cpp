#include "CliCommand.h"
#include "CliSupport.h"

#include "platform/FolderListing.h"
#include "platform/LargeRunHeap.h"
#include "platform/HeadWrite.h"
#include "platform/Licence.h"
#include "platform/TailJournal.h"
#include "platform/Utf16Scan.h"

#include <QCoreApplication>

#include <algorithm>

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

// The text of the ASCII arguments, for the whole run: tens of thousands of
// file names take one block rather than an allocation each. Made before
// main(), it outlives everything made there.
QString argumentText;

// A name that is not valid UTF-8 would be decoded into another name, and
// might then name a different file: it is refused before anything is done.
// Every other argument is decoded as QCoreApplication would decode it, only
// faster over tens of thousands of file names (most of them ASCII).
bool decodeArguments(int argc, char *argv[], QStringList *arguments)
{
    qsizetype bytes = 0;
    for (int i = 0; i < argc; ++i)
        bytes += qstrlen(argv[i]);
    argumentText.resize(bytes);
    char16_t *next = reinterpret_cast<char16_t *>(argumentText.data());
    arguments->reserve(argc);
    for (int i = 0; i < argc; ++i) {
        const QByteArrayView argument(argv[i]);
        if (kaz::isAscii(argument)) {
            arguments->append(QString::fromRawData(reinterpret_cast<const QChar *>(next), argument.size()));
            next = kaz::widenAscii(argument, next);
        } else if (i == 0 || kaz::isDecodableName(argument)) {
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

    // Every command but a few may run over a whole collection.
    kaz::prepareHeapForLargeRun();
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
    takeLanguageOption(arguments);
    say(text(messageLanguage(), "unknown command '%1'\n", "unbekannter Befehl '%1'\n").arg(visibleControls(name)));
    printUsage(false);
    return ExitUsage;
}
