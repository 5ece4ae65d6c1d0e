#include "CleanupOptionsCli.h"

#include "CliSupport.h"

#include "config/ConfigFile.h"

namespace kaz::cli {
namespace {

struct NumberOption {
    const char *on;
    const char *off;
    int maximum;
    bool CleanupOptions::*enabled;
    int CleanupOptions::*number;
};

const NumberOption kNumberOptions[] = {
    {"from-position", "no-from-position", 999, &CleanupOptions::fromPosition, &CleanupOptions::fromPositionNumber},
    {"after-words", "no-after-words", 99, &CleanupOptions::afterFirstWords, &CleanupOptions::afterFirstWordsNumber},
    {"before-words", "no-before-words", 99, &CleanupOptions::beforeLastWords, &CleanupOptions::beforeLastWordsNumber},
};

bool exclusive(const QCommandLineParser &parser, const char *a, const char *b)
{
    if (parser.isSet(QLatin1String(a)) && parser.isSet(QLatin1String(b))) {
        say(text(messageLanguage(), "--%1 and --%2 exclude each other", "--%1 und --%2 schließen einander aus")
                .arg(QLatin1String(a), QLatin1String(b)));
        return false;
    }
    return true;
}

} // namespace

void addCleanupOptions(QCommandLineParser &parser)
{
    parser.addOption({QStringLiteral("capitalize"), QStringLiteral("Upper-case the first character (a-z) of the new name.")});
    parser.addOption({QStringLiteral("no-capitalize"), QStringLiteral("Leave the first character as it is.")});
    parser.addOption({QStringLiteral("from-position"),
                      QStringLiteral("String rules change only characters from position N on (1-999)."),
                      QStringLiteral("N")});
    parser.addOption({QStringLiteral("no-from-position"), QStringLiteral("String rules change any position.")});
    parser.addOption({QStringLiteral("after-words"),
                      QStringLiteral("String rules apply only after the first N words (1-99)."), QStringLiteral("N")});
    parser.addOption({QStringLiteral("no-after-words"), QStringLiteral("No limit after the first words.")});
    parser.addOption({QStringLiteral("before-words"),
                      QStringLiteral("String rules apply only before the last N words (1-99)."), QStringLiteral("N")});
    parser.addOption({QStringLiteral("no-before-words"), QStringLiteral("No limit before the last words.")});
}

bool cleanupOptionsFromParser(const QCommandLineParser &parser, CleanupOptions *options)
{
    // A missing file gives the page's defaults; nothing is written for a read.
    *options = cleanupOptionsFrom(loadIni(iniPath(), IniContext{}));
    if (!exclusive(parser, "capitalize", "no-capitalize"))
        return false;
    if (parser.isSet(QStringLiteral("capitalize")))
        options->capitalizeFirst = true;
    if (parser.isSet(QStringLiteral("no-capitalize")))
        options->capitalizeFirst = false;
    for (const NumberOption &o : kNumberOptions) {
        if (!exclusive(parser, o.on, o.off))
            return false;
        if (parser.isSet(QLatin1String(o.off)))
            options->*o.enabled = false;
        if (!parser.isSet(QLatin1String(o.on)))
            continue;
        bool ok = false;
        const int n = parser.value(QLatin1String(o.on)).toInt(&ok);
        if (!ok || n < 1 || n > o.maximum) {
            say(text(messageLanguage(), "--%1 takes a number from 1 to %2", "--%1 nimmt eine Zahl von 1 bis %2")
                    .arg(QLatin1String(o.on))
                    .arg(o.maximum));
            return false;
        }
        options->*o.enabled = true;
        options->*o.number = n;
    }
    return true;
}

} // namespace kaz::cli
