#include "RenameOptions.h"

#include "config/ConfigFile.h"
#include "rename/RenameSettingsMapping.h"

#include "CliSupport.h"

#include "rename/RenameTexts.h"

namespace kaz::cli {
namespace {

bool parseField(const QString &text, NameField *field)
{
    static const char *const names[] = {"artist", "album", "title", "none"};
    for (int i = 0; i < 4; ++i) {
        if (text.compare(QLatin1String(names[i]), Qt::CaseInsensitive) == 0) {
            *field = NameField(i);
            return true;
        }
    }
    return false;
}

bool parseFields(const QString &text, RenameSettings *s)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() > 3)
        return false;
    NameField fields[3] = {NameField::None, NameField::None, NameField::None};
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (!parseField(parts[i].trimmed(), &fields[i]))
            return false;
    }
    if (fields[0] == NameField::None)
        return false;
    for (int i = 0; i < 3; ++i) {
        for (int j = i + 1; j < 3; ++j) {
            if (fields[i] != NameField::None && fields[i] == fields[j])
                return false;
        }
    }
    s->firstField = fields[0];
    s->secondField = fields[1];
    s->thirdField = fields[2];
    return true;
}

bool intOption(const QCommandLineParser &parser, const char *name, int low, int high, int *value)
{
    const QString key = QString::fromLatin1(name);
    if (!parser.isSet(key))
        return true;
    bool ok = false;
    const int n = parser.value(key).toInt(&ok);
    if (!ok || n < low || n > high) {
        say(text(messageLanguage(), "--%1 takes a number from %2 to %3", "--%1 nimmt eine Zahl von %2 bis %3").arg(key).arg(low).arg(high));
        return false;
    }
    *value = n;
    return true;
}

} // namespace

void addRenameSettingOptions(QCommandLineParser &parser)
{
    const auto option = [&](const char *name, const char *help, const char *value = nullptr) {
        if (value)
            parser.addOption({QString::fromLatin1(name), QString::fromLatin1(help), QString::fromLatin1(value)});
        else
            parser.addOption({QString::fromLatin1(name), QString::fromLatin1(help)});
    };
    option("fields", "The fields of the name in order: up to three of artist, album, title, none "
                     "(the first not none). Default artist,album,title.", "A,B,C");
    option("comment", "Append the comment to the name.");
    option("no-numbers", "Do not keep track numbers.");
    option("number-fixed", "Put the number at a fixed place: 0 beginning, 1 after the first field, "
                           "2 after the second, 3 after the third, 4 end.", "N");
    option("number-relative", "Put the number before a field: 0=artist, 1=album, 2=title, 3=comment.", "N");
    option("brackets", "Brackets around numbers: 0 none, 1 [ ], 2 { }, 3 ( ).", "N");
    option("delimiter", "Text between the fields, 1 to 3 characters (by default a hyphen between spaces).",
           "TEXT");
    option("replace", "Nine characters standing in for \\ / : * \" ? < > | in that order "
                      "(default \"___   --_\").", "NINECHARS");
    option("joliet", "Keep names short for CD file systems (two fields at most).");
    option("user-name", "Name every file TEXT instead of using its tag, a second one \"TEXT (2)\" and so "
                        "on; with --no-numbers each gets a counter in front, 01, 02 and so on.", "TEXT");
}

RenameSettings storedRenameSettings()
{
    // A missing file gives the page's defaults; nothing is written for a read.
    return renameSettingsFrom(loadIni(iniPath(), IniContext{}));
}

bool renameSettingsFromOptions(const QCommandLineParser &parser, Language language, RenameSettings *s)
{
    *s = storedRenameSettings();
    if (parser.isSet(QStringLiteral("fields")) && !parseFields(parser.value(QStringLiteral("fields")), s)) {
        say("--fields takes up to three different fields of artist, album, title, none; the first may not be none",
            "--fields nimmt bis zu drei verschiedene Felder aus artist, album, title, none; das erste darf nicht none sein");
        return false;
    }
    if (parser.isSet(QStringLiteral("comment")))
        s->appendComment = true;
    if (parser.isSet(QStringLiteral("no-numbers")))
        s->keepNumbers = false;
    int position = -1;
    if (!intOption(parser, "number-fixed", 0, 4, &position))
        return false;
    if (position >= 0)
        s->numbering.setFixed(position);
    position = -1;
    if (!intOption(parser, "number-relative", 0, 3, &position))
        return false;
    if (position >= 0) {
        if (parser.isSet(QStringLiteral("number-fixed"))) {
            say("give --number-fixed or --number-relative, not both", "--number-fixed oder --number-relative angeben, nicht beide");
            return false;
        }
        s->numbering.setRelative(position);
    }
    if (!intOption(parser, "brackets", 0, 3, &s->numbering.brackets))
        return false;
    if (parser.isSet(QStringLiteral("delimiter"))) {
        s->delimiter = parser.value(QStringLiteral("delimiter"));
        if (!delimiterIsAllowed(s->delimiter)) {
            say(forTerminal(renameText(RenameText::DelimiterNotAllowed, language)).trimmed()
                + text(language, " (--delimiter takes 1 to 3 characters)", " (--delimiter nimmt 1 bis 3 Zeichen)"));
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("replace"))) {
        s->replacements = parser.value(QStringLiteral("replace"));
        if (!replacementsAreUsable(s->replacements)) {
            say("--replace takes exactly nine characters, none of them \"/\"",
                "--replace nimmt genau neun Zeichen, keines davon \"/\"");
            return false;
        }
    }
    if (parser.isSet(QStringLiteral("joliet")))
        s->joliet = true;
    if (parser.isSet(QStringLiteral("user-name"))) {
        s->userDefined = true;
        s->userText = parser.value(QStringLiteral("user-name"));
        if (s->userText.isEmpty() || s->userText.contains(QLatin1Char('/'))) {
            say("--user-name takes a text without \"/\"", "--user-name nimmt einen Text ohne \"/\"");
            return false;
        }
    }
    return true;
}

QString printablePath(const QString &path)
{
    if (!hasControlCharacter(path))
        return path;
    QString shown = path;
    shown.replace(QLatin1Char('\n'), QLatin1String("\\n")).replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return visibleControls(shown);
}

} // namespace kaz::cli
