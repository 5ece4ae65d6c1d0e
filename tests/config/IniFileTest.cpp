#include "config/ConfigFile.h"
#include "config/IniFormat.h"

#include "platform/Messages.h"
#include "support/SettingsPrinter.h"
#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QRandomGenerator>

using namespace kaz;
using namespace kaz::test;

namespace {

QByteArray crlf(const QStringList &lines)
{
    QByteArray out;
    for (const QString &l : lines)
        out += l.toUtf8() + "\r\n";
    return out;
}

QStringList fileLines(const QString &path)
{
    return IniDocument::read(path).lines();
}

QStringList defaultLines(int x, int y, const QString &variousDir)
{
    return {QStringLiteral("V3.5"), QString(), QStringLiteral("[general]"), QStringLiteral("Size=601*471"),
            QStringLiteral("LastPosition_x=%1").arg(x), QStringLiteral("LastPosition_y=%1").arg(y),
            QStringLiteral("LastPosition=true"), QStringLiteral("SelectionBoxes=012"), QStringLiteral("Joliet=false"),
            QStringLiteral("Page=0"), QStringLiteral("Hints=On"), QStringLiteral("WinAmp=."),
            QStringLiteral("LastDir=") + QDir::homePath(), QStringLiteral("Fontsize=8"), QStringLiteral("Mask2=0"),
            QStringLiteral("Mask3=false"), QStringLiteral("clean1=true"), QStringLiteral("clean2a=false"),
            QStringLiteral("clean2b=1"), QStringLiteral("clean3a=false"), QStringLiteral("clean3b=1"),
            QStringLiteral("clean4a=false"), QStringLiteral("clean4b=1"), QStringLiteral("nummern1=0"),
            QStringLiteral("nummern2=-1"), QStringLiteral("brackets=0"), QStringLiteral("Character=___   --_"),
            QStringLiteral("Delimiter= - "), QString(), QStringLiteral("[userdefined directories]"), QString(),
            QStringLiteral("[external programs]"), QString(), QStringLiteral("[directory structure]"),
            QStringLiteral("CreateDir=artist&album"), QStringLiteral("VariousDir=") + variousDir,
            QStringLiteral("ArtistRepeatings=8"), QStringLiteral("VariousRepeatings=4"), QStringLiteral("CDR=650"),
            QStringLiteral("useful1=true"), QStringLiteral("useful2=true"), QStringLiteral("useful3=true"),
            QStringLiteral("useful4=false"), QStringLiteral("show1=true"), QStringLiteral("show2=true"),
            QStringLiteral("show3=true"), QStringLiteral("search1=true"), QStringLiteral("search2=true"),
            QStringLiteral("search3=true"), QStringLiteral("[exclude album-names]"), QStringLiteral("[END]")};
}

// A file in the current layout with its middle sections as a user may have them.
QStringList userFile()
{
    QStringList lines = defaultLines(211, 148, QStringLiteral("Various"));
    lines.replace(26, QStringLiteral("Character=+~#   ..!"));
    lines.replace(27, QStringLiteral("Delimiter=_"));
    // No blank lines in the middle sections, as the user-directories dialog leaves them.
    lines.erase(lines.begin() + 28, lines.begin() + 34);
    lines.insert(28, QString());
    lines.insert(29, QStringLiteral("[userdefined directories]"));
    lines.insert(30, QStringLiteral("F1=/music/rock"));
    lines.insert(31, QStringLiteral("F3=/music/jazz"));
    lines.insert(32, QStringLiteral("[external programs]"));
    lines.insert(33, QStringLiteral("Editor=/usr/bin/editor"));
    lines.insert(34, QStringLiteral("[directory structure]"));
    lines.insert(lines.size() - 1, QStringLiteral("Best of"));
    lines.insert(lines.size() - 1, QStringLiteral("Greatest Hits"));
    return lines;
}

class IniFile : public ::testing::Test
{
protected:
    TempHome home;
    QString path = iniPath();
    ScriptedPrompter prompter;
    IniContext context{QSize(1280, 1024), Language::English, &prompter};
};

} // namespace

TEST_F(IniFile, DefaultFileIsWrittenLineForLine)
{
    ASSERT_TRUE(createDefaultIni(path, context));
    EXPECT_EQ(readAll(path), crlf(defaultLines(339, 276, QStringLiteral("Various"))));

    // The various-artists folder follows the language; a narrow screen gives a negative, truncated position.
    ASSERT_TRUE(createDefaultIni(path, IniContext{QSize(500, 400), Language::German, nullptr}));
    EXPECT_EQ(readAll(path), crlf(defaultLines(-50, -35, QStringLiteral("Diverse"))));

    // Loading the default file gives the defaults.
    EXPECT_EQ(loadIni(path, context), KazSettings::defaults(QSize(500, 400), Language::German));
}

TEST_F(IniFile, EverySettingSurvivesExitWriteAndReload)
{
    ASSERT_TRUE(createDefaultIni(path, context));
    KazSettings s = loadIni(path, context);
    s.windowWidth = 800;
    s.windowHeight = 650;
    s.windowLeft = -20;
    s.windowTop = 33;
    s.startWithLastPosition = false;
    s.selection = {2, 3, 0};
    s.joliet = true;
    s.page = 2;
    s.showHints = false;
    s.winampPath = QStringLiteral("/usr/bin/audacious");
    s.lastDir = home.music();
    s.fontSize = 12;
    s.tagFilter = 1;
    s.sortIgnoringNonLetters = true;
    s.cleanCapitalizeFirst = false;
    s.cleanFromPosition = true;
    s.cleanFromPositionNumber = 999;
    s.cleanAfterFirst = true;
    s.cleanAfterFirstNumber = 7;
    s.cleanBeforeLast = true;
    s.cleanBeforeLastNumber = 99;
    s.numberFixedPosition = -1;
    s.numberRelativePosition = 3;
    s.numberBrackets = 2;
    s.replacementCharacters = {QStringLiteral("ä"), QStringLiteral("-"), QStringLiteral("."), QStringLiteral("+"),
                               QStringLiteral("'"), QStringLiteral("!"), QStringLiteral("("), QStringLiteral(")"),
                               QStringLiteral("I")};
    s.delimiter = QStringLiteral("~");
    s.userDirectories = {QStringLiteral("/a"), QString(), QStringLiteral("/c d"), QString(), QString(),
                         QStringLiteral("/f=g")};
    s.externalPrograms[0] = {QStringLiteral("Editor"), QStringLiteral("/usr/bin/ed")};
    s.externalPrograms[1] = {QStringLiteral("Player"), QStringLiteral("/opt/a=b/player")};
    s.structure.createDir = CreateDirMode::Album;
    s.structure.variousDir = QStringLiteral("Gemischt");
    s.structure.artistRepeatings = 99;
    s.structure.variousRepeatings = 1;
    s.structure.cdrMegabytes = 44;
    s.structure.createAlbumAndSamplerDirs = false;
    s.structure.createMultiCdDirs = false;
    s.structure.excludeAlbumNamesForSampler = false;
    s.structure.fitOnCdr = true;
    s.structure.showOnGo = false;
    s.structure.showOnCheckBox = false;
    s.structure.showOnFolderMenu = false;
    s.structure.searchAlbum = false;
    s.structure.searchSampler = false;
    s.structure.searchVarious = false;
    s.structure.excludedAlbums = {QStringLiteral("Best of"), QStringLiteral("Bravo Hits")};

    // The dialogs write what they own while the program runs, the exit writer the rest.
    ASSERT_TRUE(patchCharactersAndDelimiter(path, s.replacementCharacters, s.delimiter));
    ASSERT_TRUE(patchUserSections(path, s.userDirectories, s.externalPrograms));
    ASSERT_TRUE(patchStructureSection(path, s.structure));
    ASSERT_TRUE(writeIniOnExit(path, s));

    KazSettings expected = s;
    // Slots come back in file order.
    expected.userDirectories = {QStringLiteral("/a"), QStringLiteral("/c d"), QStringLiteral("/f=g"), {}, {}, {}};
    EXPECT_EQ(loadIni(path, context), expected);
    EXPECT_EQ(fileLines(path).at(16), QStringLiteral("Clean1=false")); // the exit writer's spelling
    EXPECT_EQ(fileLines(path).last(), QStringLiteral("[END]"));
}

TEST_F(IniFile, MiddleSectionsLoadWithOrWithoutBlankLinesAndSurviveWrites)
{
    const QStringList lines = userFile();
    ASSERT_TRUE(writeAll(path, crlf(lines)));
    const KazSettings s = loadIni(path, context);
    EXPECT_EQ(s.userDirectories[0], QStringLiteral("/music/rock"));
    EXPECT_EQ(s.userDirectories[1], QStringLiteral("/music/jazz")); // slot 3 in the file, item 2 in the menu
    EXPECT_TRUE(s.userDirectories[2].isEmpty());
    EXPECT_EQ(s.externalPrograms[0], (ExternalProgram{QStringLiteral("Editor"), QStringLiteral("/usr/bin/editor")}));
    EXPECT_EQ(s.replacementCharacters[0], QStringLiteral("+"));
    EXPECT_EQ(s.delimiter, QStringLiteral("_"));
    EXPECT_EQ(s.structure.excludedAlbums, (QStringList{QStringLiteral("Best of"), QStringLiteral("Greatest Hits")}));

    // The exit writer and the patchers of other lines keep everything from line 27 on.
    ASSERT_TRUE(writeIniOnExit(path, s));
    ASSERT_TRUE(patchWinampPath(path, QStringLiteral("/opt/player")));
    const QStringList after = fileLines(path);
    EXPECT_EQ(after.mid(26), lines.mid(26));
    EXPECT_EQ(after.at(11), QStringLiteral("WinAmp=/opt/player"));

    // The structure dialog keeps the middle sections, the user-directories dialog the structure.
    StructureSettings structure = s.structure;
    structure.excludedAlbums = {QStringLiteral("Bravo")};
    ASSERT_TRUE(patchStructureSection(path, structure));
    std::array<QString, 6> dirs{QStringLiteral("/x")};
    ASSERT_TRUE(patchUserSections(path, dirs, s.externalPrograms));
    const KazSettings reread = loadIni(path, context);
    EXPECT_EQ(reread.userDirectories[0], QStringLiteral("/x"));
    EXPECT_EQ(reread.externalPrograms, s.externalPrograms);
    EXPECT_EQ(reread.structure.excludedAlbums, QStringList{QStringLiteral("Bravo")});
    EXPECT_EQ(fileLines(path).mid(0, 28), after.mid(0, 28));

    // A missing favourite is removed from the middle sections only.
    EXPECT_TRUE(removeUserEntry(path, QStringLiteral("/usr/bin/editor")));
    EXPECT_FALSE(removeUserEntry(path, QStringLiteral("artist&album")));
    EXPECT_TRUE(loadIni(path, context).externalPrograms[0].isEmpty());
    EXPECT_EQ(loadIni(path, context).structure.createDir, CreateDirMode::ArtistAndAlbum);
}

TEST_F(IniFile, LinesThatAreNotUtf8AreReadAsWindowsTextAndKeptByteForByte)
{
    QByteArray bytes = crlf(userFile());
    bytes.replace("F1=/music/rock", "F1=/music/Gr\xf6\xdf" "e");
    ASSERT_TRUE(writeAll(path, bytes));
    const KazSettings s = loadIni(path, context);
    EXPECT_EQ(s.userDirectories[0], QStringLiteral("/music/Größe"));
    ASSERT_TRUE(writeIniOnExit(path, s));
    EXPECT_TRUE(readAll(path).contains("F1=/music/Gr\xf6\xdf" "e\r\n"));
}

TEST_F(IniFile, OldFormatIsConvertedKeepingTheUsersSections)
{
    QStringList old{QStringLiteral("V3.0"), QStringLiteral("Size=700*500"), QStringLiteral("Fontsize=abc"),
                    QStringLiteral("Character=___   --_"), QStringLiteral("Delimiter=#"), QString(),
                    QStringLiteral("[userdefined directories]"), QStringLiteral("F1=/old/fav"),
                    QStringLiteral("[external programs]"), QStringLiteral("Edit=/bin/ed"),
                    QStringLiteral("[directory structure]")};
    old += defaultLines(0, 0, QStringLiteral("Sammlung")).mid(34);
    old.append(QStringLiteral("after the end"));
    ASSERT_TRUE(writeAll(path, crlf(old)));

    bool converted = false;
    const KazSettings s = loadIni(path, context, &converted);
    EXPECT_TRUE(converted);
    ASSERT_EQ(prompter.shown.size(), 1);
    EXPECT_EQ(prompter.shown.first(), message(Msg::OldIniFile, Language::English));

    const QStringList lines = fileLines(path);
    EXPECT_EQ(lines.mid(0, 26), defaultLines(339, 276, QStringLiteral("Various")).mid(0, 26));
    EXPECT_EQ(lines.mid(26), old.mid(3, old.size() - 4)); // from three lines above the header to "[END]"
    EXPECT_EQ(s.delimiter, QStringLiteral("#"));
    EXPECT_EQ(s.userDirectories[0], QStringLiteral("/old/fav"));
    EXPECT_EQ(s.structure.variousDir, QStringLiteral("Sammlung"));

    // Loaded again, the file is current and not converted twice.
    prompter.shown.clear();
    EXPECT_EQ(loadIni(path, context, &converted), s);
    EXPECT_FALSE(converted);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(IniFile, OldFormatWithoutOrWithAnEarlyHeaderBecomesAUsableFile)
{
    for (const QByteArray &old : {QByteArray("KAZ 2\r\nsomething\r\n"),
                                  QByteArray("[userdefined directories]\r\nF1=/kept\r\n")}) {
        SCOPED_TRACE(old.constData());
        ASSERT_TRUE(writeAll(path, old));
        const KazSettings s = loadIni(path, context);
        const QStringList lines = fileLines(path);
        EXPECT_EQ(lines.first(), QStringLiteral("V3.5"));
        EXPECT_EQ(lines.at(26), QStringLiteral("Character=___   --_"));
        EXPECT_EQ(lines.last(), QStringLiteral("[END]"));
        EXPECT_EQ(s.structure.cdrMegabytes, 650);
        EXPECT_EQ(s.userDirectories[0], old.contains("/kept") ? QStringLiteral("/kept") : QString());
    }
}

TEST_F(IniFile, UnusableValuesFallBackToTheirDefaults)
{
    struct Case {
        int line; // 1-based
        const char *text;
        std::function<bool(const KazSettings &)> holds;
    };
    const std::vector<Case> cases{
        {4, "Size=huge", [](const KazSettings &s) { return s.windowWidth == 601 && s.windowHeight == 471; }},
        {4, "Size=900*-3", [](const KazSettings &s) { return s.windowWidth == 900 && s.windowHeight == 471; }},
        {5, "LastPosition_x=", [](const KazSettings &s) { return !s.windowLeft; }},
        {8, "SelectionBoxes=9x", [](const KazSettings &s) { return s.selection == std::array<int, 3>{0, 1, 2}; }},
        {8, "SelectionBoxes=23", [](const KazSettings &s) { return s.selection == std::array<int, 3>{2, 3, 2}; }},
        {9, "Joliet=true ", [](const KazSettings &s) { return !s.joliet; }}, // twelve characters
        {9, "Joliet=true", [](const KazSettings &s) { return s.joliet; }},
        {10, "Page=7", [](const KazSettings &s) { return s.page == 0; }},
        {10, "Page 2", [](const KazSettings &s) { return s.page == 2; }}, // only the last character counts
        {11, "Hints=Yes", [](const KazSettings &s) { return !s.showHints; }},
        {13, "LastDir=", [](const KazSettings &s) { return s.lastDir == QDir::homePath(); }},
        {14, "Fontsize=abc", [](const KazSettings &s) { return s.fontSize == 8; }},
        {17, "clean1", [](const KazSettings &s) { return !s.cleanCapitalizeFirst; }}, // no "=": the whole line
        {19, "clean2b=5000", [](const KazSettings &s) { return s.cleanFromPositionNumber == 1; }},
        {21, "clean3b= 42 ", [](const KazSettings &s) { return s.cleanAfterFirstNumber == 42; }},
        {24, "nummern1=99999999999999", [](const KazSettings &s) { return s.numberFixedPosition == 0; }},
        {26, "brackets=-1", [](const KazSettings &s) { return s.numberBrackets == 0; }},
        {27, "Character=/_", [](const KazSettings &s) {
             return s.replacementCharacters[0] == QStringLiteral("_") && s.replacementCharacters[2] == QStringLiteral("_");
         }},
        {28, "Delimiter=abcdef", [](const KazSettings &s) { return s.delimiter == QStringLiteral("abc"); }},
        {28, "Delimiter=a/b", [](const KazSettings &s) { return s.delimiter == QStringLiteral(" - "); }},
        {35, "CreateDir=everything", [](const KazSettings &s) { return s.structure.createDir == CreateDirMode::ArtistAndAlbum; }},
        {36, "VariousDir=../up", [](const KazSettings &s) { return s.structure.variousDir == QStringLiteral("Various"); }},
        {39, "CDR=2000", [](const KazSettings &s) { return s.structure.cdrMegabytes == 650; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QStringList lines = defaultLines(0, 0, QStringLiteral("Various"));
        lines.replace(c.line - 1, QString::fromUtf8(c.text));
        ASSERT_TRUE(writeAll(path, crlf(lines)));
        EXPECT_TRUE(c.holds(loadIni(path, context)));
    }
}

TEST_F(IniFile, DamagedFilesLoadAndAreMadeWholeByTheNextWrite)
{
    QRandomGenerator random(20240601);
    QByteArray garbage(4096, '\0');
    for (char &b : garbage)
        b = char(random.bounded(256));
    QStringList huge = defaultLines(0, 0, QStringLiteral("Various"));
    huge.removeLast(); // no "[END]"
    for (int i = 0; i < 10000; ++i)
        huge.append(QStringLiteral("Album %1").arg(i));
    QStringList noHeaders = defaultLines(0, 0, QStringLiteral("Various")).mid(0, 28);
    noHeaders << QStringLiteral("F1=/lost?") << QStringLiteral("no equals sign here");

    // Lines 27 and 28 and the first section lost: the next header moves up into line 27.
    QStringList earlySections = userFile();
    earlySections.erase(earlySections.begin() + 26, earlySections.begin() + 32);
    ASSERT_EQ(earlySections.at(26), ini::kProgramsHeader);

    const std::vector<std::pair<const char *, QByteArray>> files{
        {"empty", QByteArray()},
        {"truncated", crlf(defaultLines(0, 0, QStringLiteral("Various")).mid(0, 10))},
        {"garbage", "V3.5\r\n" + garbage},
        {"10,000 lines", crlf(huge)},
        {"no sections", crlf(noHeaders)},
        {"LF only", crlf(userFile()).replace("\r\n", "\n")},
        {"sections too early", crlf(earlySections)},
    };
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(writeAll(path, bytes));
        const KazSettings s = loadIni(path, context);
        ASSERT_TRUE(writeIniOnExit(path, s));
        const QStringList lines = fileLines(path);
        EXPECT_EQ(lines.first(), QStringLiteral("V3.5"));
        EXPECT_EQ(lines.last(), QStringLiteral("[END]"));
        for (const QString &header : {ini::kUserDirsHeader, ini::kProgramsHeader, ini::kStructureHeader, ini::kExcludeHeader})
            EXPECT_EQ(lines.count(header), 1) << header.toStdString();
        const KazSettings written = loadIni(path, context);
        // Stray carriage returns inside garbage lines are dropped; all else reads back as it was.
        if (qstrcmp(name, "garbage") != 0) {
            EXPECT_EQ(written, s);
        }
        ASSERT_TRUE(writeIniOnExit(path, written));
        EXPECT_EQ(loadIni(path, context), written);
    }
    ASSERT_TRUE(writeAll(path, crlf(huge)));
    EXPECT_EQ(loadIni(path, context).structure.excludedAlbums.size(), 10000);

    // A header never stands in for a numbered setting.
    ASSERT_TRUE(writeAll(path, crlf(earlySections)));
    const KazSettings early = loadIni(path, context);
    EXPECT_EQ(early.delimiter, QStringLiteral(" - "));
    EXPECT_EQ(early.externalPrograms[0].path, QStringLiteral("/usr/bin/editor"));
    ASSERT_TRUE(writeIniOnExit(path, early));
    const QStringList repaired = fileLines(path);
    EXPECT_TRUE(repaired.at(27).startsWith(QStringLiteral("Delimiter=")));
    EXPECT_LT(repaired.indexOf(ini::kUserDirsHeader), repaired.indexOf(ini::kProgramsHeader));
}

TEST_F(IniFile, SetValueChangesOneLineOnly)
{
    ASSERT_TRUE(writeAll(path, crlf(userFile())));
    const QStringList before = fileLines(path);
    EXPECT_EQ(setIniValue(path, QStringLiteral("cdr"), QStringLiteral("700")), SetResult::Done);
    EXPECT_EQ(setIniValue(path, QStringLiteral("Joliet"), QStringLiteral("true")), SetResult::Done);
    EXPECT_EQ(setIniValue(path, QStringLiteral("CDR"), QStringLiteral("7000")), SetResult::BadValue);
    EXPECT_EQ(setIniValue(path, QStringLiteral("Size"), QStringLiteral("800")), SetResult::BadValue);
    EXPECT_EQ(setIniValue(path, QStringLiteral("Delimiter"), QStringLiteral("a\nb")), SetResult::BadValue);
    EXPECT_EQ(setIniValue(path, QStringLiteral("F1"), QStringLiteral("/x")), SetResult::UnknownKey);

    QStringList expected = before;
    expected.replace(8, QStringLiteral("Joliet=true"));
    expected.replace(before.indexOf(QStringLiteral("CDR=650")), QStringLiteral("CDR=700"));
    EXPECT_EQ(fileLines(path), expected);
}

// The tag source is not part of the design's file: it stands after "[END]",
// only while it is on, and every writer keeps it there.
TEST_F(IniFile, TagSourceStandsAfterTheEndAndSurvivesEveryWriter)
{
    ASSERT_TRUE(writeAll(path, crlf(userFile())));
    EXPECT_FALSE(loadIni(path, context).useId3v2);
    EXPECT_EQ(setIniValue(path, QStringLiteral("id3v2"), QStringLiteral("true")), SetResult::Done);
    const QStringList tail{QStringLiteral("[END]"), QStringLiteral("[tag source]"), QStringLiteral("ID3v2=true")};
    EXPECT_EQ(fileLines(path), userFile() + tail.mid(1));
    KazSettings s = loadIni(path, context);
    EXPECT_TRUE(s.useId3v2);

    KazSettings withoutKey = s;
    withoutKey.useId3v2 = false;
    EXPECT_EQ(withoutKey, ini::parse(IniDocument(userFile()), Language::English)); // the rest reads as before
    ASSERT_TRUE(patchWinampPath(path, QStringLiteral("/opt/player")));
    ASSERT_TRUE(patchStructureSection(path, s.structure));
    ASSERT_TRUE(patchUserSections(path, s.userDirectories, s.externalPrograms));
    ASSERT_TRUE(writeIniOnExit(path, s));
    EXPECT_EQ(fileLines(path).mid(fileLines(path).indexOf(QStringLiteral("[END]"))), tail);
    EXPECT_TRUE(loadIni(path, context).useId3v2);

    // Off: the file is the design's again, line for line.
    ASSERT_TRUE(patchTagSource(path, false));
    EXPECT_EQ(fileLines(path).last(), QStringLiteral("[END]"));
    s.useId3v2 = false;
    ASSERT_TRUE(writeIniOnExit(path, s));
    EXPECT_EQ(fileLines(path).last(), QStringLiteral("[END]"));

    // A hand-edited value other than "true" is off; a key outside its section is not read.
    for (const char *extra : {"[tag source]\r\nID3v2=yes\r\n", "ID3v2=true\r\n"}) {
        ASSERT_TRUE(writeAll(path, crlf(userFile()) + extra));
        EXPECT_FALSE(loadIni(path, context).useId3v2) << extra;
    }
}
