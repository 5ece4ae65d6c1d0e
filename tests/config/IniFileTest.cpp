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
    return {"V3.5", QString(), "[general]", "Size=601*471", QStringLiteral("LastPosition_x=%1").arg(x),
            QStringLiteral("LastPosition_y=%1").arg(y), "LastPosition=true", "SelectionBoxes=012", "Joliet=false",
            "Page=0", "Hints=On", "WinAmp=.", "LastDir=" + QDir::homePath(), "Fontsize=8", "Mask2=0", "Mask3=false",
            "clean1=true", "clean2a=false", "clean2b=1", "clean3a=false", "clean3b=1", "clean4a=false", "clean4b=1",
            "nummern1=0", "nummern2=-1", "brackets=0", "Character=___   --_", "Delimiter= - ", QString(),
            "[userdefined directories]", QString(), "[external programs]", QString(), "[directory structure]",
            "CreateDir=artist&album", "VariousDir=" + variousDir, "ArtistRepeatings=8", "VariousRepeatings=4",
            "CDR=650", "useful1=true", "useful2=true", "useful3=true", "useful4=false", "show1=true", "show2=true",
            "show3=true", "search1=true", "search2=true", "search3=true", "[exclude album-names]", "[END]"};
}

// A file in the current layout with its middle sections as a user may have them.
QStringList userFile()
{
    QStringList lines = defaultLines(211, 148, "Various");
    lines.replace(26, "Character=+~#   ..!");
    lines.replace(27, "Delimiter=_");
    // No blank lines in the middle sections, as the user-directories dialog leaves them.
    lines.erase(lines.begin() + 28, lines.begin() + 34);
    lines.insert(28, QString());
    lines.insert(29, "[userdefined directories]");
    lines.insert(30, "F1=/music/rock");
    lines.insert(31, "F3=/music/jazz");
    lines.insert(32, "[external programs]");
    lines.insert(33, "Editor=/usr/bin/editor");
    lines.insert(34, "[directory structure]");
    lines.insert(lines.size() - 1, "Best of");
    lines.insert(lines.size() - 1, "Greatest Hits");
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
    EXPECT_EQ(readAll(path), crlf(defaultLines(339, 276, "Various")));

    // The various-artists folder follows the language; a narrow screen gives a negative, truncated position.
    ASSERT_TRUE(createDefaultIni(path, IniContext{QSize(500, 400), Language::German, nullptr}));
    EXPECT_EQ(readAll(path), crlf(defaultLines(-50, -35, "Diverse")));

    // Loading the default file gives the defaults.
    EXPECT_EQ(loadIni(path, context), KazSettings::defaults(QSize(500, 400), Language::German));
}

// Every setting away from its default, so that one a reader or writer
// drops comes back as its default and shows.
TEST_F(IniFile, EverySettingSurvivesExitWriteAndReload)
{
    const QStringList changed{
        "V3.5", QString(), "[general]", "Size=800*650", "LastPosition_x=-20", "LastPosition_y=33", "LastPosition=false",
        "SelectionBoxes=230", "Joliet=true", "Page=2", "Hints=Off", "WinAmp=/usr/bin/audacious", "LastDir=" + home.music(),
        "Fontsize=12", "Mask2=1", "Mask3=true", "Clean1=false", "Clean2a=true", "Clean2b=999", "Clean3a=true",
        "Clean3b=7", "Clean4a=true", "Clean4b=99", "nummern1=-1", "nummern2=3", "brackets=2", "Character=ä-.+'!()I",
        "Delimiter=~", QString(), "[userdefined directories]", "F1=/a", "F2=/c d", "F3=/f=g", "[external programs]",
        "Editor=/usr/bin/ed", "Player=/opt/a=b/player", "[directory structure]", "CreateDir=album", "VariousDir=Gemischt",
        "ArtistRepeatings=99", "VariousRepeatings=1", "CDR=44", "useful1=false", "useful2=false", "useful3=false",
        "useful4=true", "show1=false", "show2=false", "show3=false", "search1=false", "search2=false", "search3=false",
        "[exclude album-names]", "Best of", "Bravo Hits", "[END]"};
    ASSERT_TRUE(writeAll(path, crlf(changed)));
    const KazSettings s = loadIni(path, context);

    // The dialogs write what they own while the program runs, the exit writer the rest.
    ASSERT_TRUE(createDefaultIni(path, context));
    ASSERT_TRUE(patchCharactersAndDelimiter(path, s.replacementCharacters, s.delimiter));
    ASSERT_TRUE(patchUserSections(path, s.userDirectories, s.externalPrograms));
    ASSERT_TRUE(patchStructureSection(path, s.structure));
    ASSERT_TRUE(writeIniOnExit(path, s));
    EXPECT_EQ(fileLines(path), changed);
    EXPECT_EQ(loadIni(path, context), s);
}

TEST_F(IniFile, MiddleSectionsLoadWithOrWithoutBlankLinesAndSurviveWrites)
{
    const QStringList lines = userFile();
    ASSERT_TRUE(writeAll(path, crlf(lines)));
    const KazSettings s = loadIni(path, context);
    EXPECT_EQ(s.userDirectories, (std::array<QString, 6>{"/music/rock", "/music/jazz"})); // F3 is item 2
    EXPECT_EQ(s.externalPrograms[0], (ExternalProgram{"Editor", "/usr/bin/editor"}));
    EXPECT_EQ(s.replacementCharacters[0], "+");
    EXPECT_EQ(s.delimiter, "_");
    EXPECT_EQ(s.structure.excludedAlbums, (QStringList{"Best of", "Greatest Hits"}));

    // The exit writer and the patchers of other lines keep everything from line 27 on.
    ASSERT_TRUE(writeIniOnExit(path, s));
    ASSERT_TRUE(patchWinampPath(path, "/opt/player"));
    const QStringList after = fileLines(path);
    EXPECT_EQ(after.mid(26), lines.mid(26));
    EXPECT_EQ(after.at(11), "WinAmp=/opt/player");

    // The structure dialog keeps the middle sections, the user-directories dialog the structure.
    StructureSettings structure = s.structure;
    structure.excludedAlbums = {"Bravo"};
    ASSERT_TRUE(patchStructureSection(path, structure));
    std::array<QString, 6> dirs{"/x"};
    ASSERT_TRUE(patchUserSections(path, dirs, s.externalPrograms));
    const KazSettings reread = loadIni(path, context);
    EXPECT_EQ(reread.userDirectories[0], "/x");
    EXPECT_EQ(reread.externalPrograms, s.externalPrograms);
    EXPECT_EQ(reread.structure.excludedAlbums, QStringList{"Bravo"});
    EXPECT_EQ(fileLines(path).mid(0, 28), after.mid(0, 28));

    // A missing favourite is removed from the middle sections only.
    EXPECT_TRUE(removeUserEntry(path, "/usr/bin/editor"));
    EXPECT_FALSE(removeUserEntry(path, "artist&album"));
    EXPECT_TRUE(loadIni(path, context).externalPrograms[0].isEmpty());
    EXPECT_EQ(loadIni(path, context).structure.createDir, CreateDirMode::ArtistAndAlbum);

    // Lines that are not UTF-8 are read as Windows text and kept byte for byte.
    QByteArray bytes = crlf(lines);
    bytes.replace("F1=/music/rock", "F1=/music/Gr\xf6\xdf" "e");
    ASSERT_TRUE(writeAll(path, bytes));
    const KazSettings latin1 = loadIni(path, context);
    EXPECT_EQ(latin1.userDirectories[0], "/music/Größe");
    ASSERT_TRUE(writeIniOnExit(path, latin1));
    EXPECT_TRUE(readAll(path).contains("F1=/music/Gr\xf6\xdf" "e\r\n"));
}

TEST_F(IniFile, OldFormatIsConvertedKeepingTheUsersSections)
{
    QStringList old{"V3.0", "Size=700*500", "Fontsize=abc",
                    "Character=___   --_", "Delimiter=#", QString(),
                    "[userdefined directories]", "F1=/old/fav",
                    "[external programs]", "Edit=/bin/ed", "[directory structure]"};
    old += defaultLines(0, 0, "Sammlung").mid(34);
    old.append("after the end");
    ASSERT_TRUE(writeAll(path, crlf(old)));

    bool converted = false;
    const KazSettings s = loadIni(path, context, &converted);
    EXPECT_TRUE(converted);
    EXPECT_EQ(prompter.shown, QStringList{message(Msg::OldIniFile, Language::English)});

    const QStringList lines = fileLines(path);
    EXPECT_EQ(lines.mid(0, 26), defaultLines(339, 276, "Various").mid(0, 26));
    EXPECT_EQ(lines.mid(26), old.mid(3, old.size() - 4)); // from three lines above the header to "[END]"
    EXPECT_EQ(s.delimiter, "#");
    EXPECT_EQ(s.userDirectories[0], "/old/fav");
    EXPECT_EQ(s.structure.variousDir, "Sammlung");

    // Loaded again, the file is current and not converted twice.
    prompter.shown.clear();
    EXPECT_EQ(loadIni(path, context, &converted), s);
    EXPECT_FALSE(converted);
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(IniFile, UnusableValuesFallBackToTheirDefaults)
{
    struct Case { int line; const char *text; std::function<bool(const KazSettings &)> holds; }; // line 1-based
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
             return s.replacementCharacters[0] == "_" && s.replacementCharacters[2] == "_";
         }},
        {28, "Delimiter=abcdef", [](const KazSettings &s) { return s.delimiter == "abc"; }},
        {28, "Delimiter=a/b", [](const KazSettings &s) { return s.delimiter == " - "; }},
        {35, "CreateDir=everything", [](const KazSettings &s) { return s.structure.createDir == CreateDirMode::ArtistAndAlbum; }},
        {36, "VariousDir=../up", [](const KazSettings &s) { return s.structure.variousDir == "Various"; }},
        {39, "CDR=2000", [](const KazSettings &s) { return s.structure.cdrMegabytes == 650; }},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        QStringList lines = defaultLines(0, 0, "Various");
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
    QStringList huge = defaultLines(0, 0, "Various");
    huge.removeLast(); // no "[END]"
    for (int i = 0; i < 10000; ++i)
        huge.append(QStringLiteral("Album %1").arg(i));
    QStringList noHeaders = defaultLines(0, 0, "Various").mid(0, 28);
    noHeaders << "F1=/lost?" << "no equals sign here";

    // Lines 27 and 28 and the first section lost: the next header moves up into line 27.
    QStringList earlySections = userFile();
    earlySections.erase(earlySections.begin() + 26, earlySections.begin() + 32);
    ASSERT_EQ(earlySections.at(26), ini::kProgramsHeader);

    const std::vector<std::pair<const char *, QByteArray>> files{
        {"empty", QByteArray()},
        {"truncated", crlf(defaultLines(0, 0, "Various").mid(0, 10))},
        {"garbage", "V3.5\r\n" + garbage},
        {"10,000 lines", crlf(huge)},
        {"no sections", crlf(noHeaders)},
        {"LF only", crlf(userFile()).replace("\r\n", "\n")},
        {"sections too early", crlf(earlySections)},
        {"old, without a header", "KAZ 2\r\nsomething\r\n"},
        {"old, with an early header", "[userdefined directories]\r\nF1=/kept\r\n"},
    };
    for (const auto &[name, bytes] : files) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(writeAll(path, bytes));
        const KazSettings s = loadIni(path, context);
        ASSERT_TRUE(writeIniOnExit(path, s));
        const QStringList lines = fileLines(path);
        EXPECT_EQ(lines.first(), "V3.5");
        EXPECT_EQ(lines.last(), "[END]");
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
    EXPECT_EQ(loadIni(path, context).userDirectories[0], "/kept");
    ASSERT_TRUE(writeAll(path, crlf(huge)));
    EXPECT_EQ(loadIni(path, context).structure.excludedAlbums.size(), 10000);

    // A header never stands in for a numbered setting.
    ASSERT_TRUE(writeAll(path, crlf(earlySections)));
    const KazSettings early = loadIni(path, context);
    EXPECT_EQ(early.delimiter, " - ");
    EXPECT_EQ(early.externalPrograms[0].path, "/usr/bin/editor");
    ASSERT_TRUE(writeIniOnExit(path, early));
    const QStringList repaired = fileLines(path);
    EXPECT_TRUE(repaired.at(27).startsWith("Delimiter="));
    EXPECT_LT(repaired.indexOf(ini::kUserDirsHeader), repaired.indexOf(ini::kProgramsHeader));
}

TEST_F(IniFile, SetValueChangesOneLineOnly)
{
    ASSERT_TRUE(writeAll(path, crlf(userFile())));
    const QStringList before = fileLines(path);
    EXPECT_EQ(setIniValue(path, "cdr", "700"), SetResult::Done);
    EXPECT_EQ(setIniValue(path, "Joliet", "true"), SetResult::Done);
    EXPECT_EQ(setIniValue(path, "CDR", "7000"), SetResult::BadValue);
    EXPECT_EQ(setIniValue(path, "Size", "800"), SetResult::BadValue);
    EXPECT_EQ(setIniValue(path, "Delimiter", "a\nb"), SetResult::BadValue);
    EXPECT_EQ(setIniValue(path, "F1", "/x"), SetResult::UnknownKey);

    QStringList expected = before;
    expected.replace(8, "Joliet=true");
    expected.replace(before.indexOf("CDR=650"), "CDR=700");
    EXPECT_EQ(fileLines(path), expected);
}

// The tag source has no line of its own in the file: it stands after "[END]",
// only while it is on, and every writer keeps it there.
TEST_F(IniFile, TagSourceStandsAfterTheEndAndSurvivesEveryWriter)
{
    ASSERT_TRUE(writeAll(path, crlf(userFile())));
    EXPECT_FALSE(loadIni(path, context).useId3v2);
    EXPECT_EQ(setIniValue(path, "id3v2", "true"), SetResult::Done);
    const QStringList tail{"[END]", "[tag source]", "ID3v2=true"};
    EXPECT_EQ(fileLines(path), userFile() + tail.mid(1));
    KazSettings s = loadIni(path, context);
    EXPECT_TRUE(s.useId3v2);

    KazSettings withoutKey = s;
    withoutKey.useId3v2 = false;
    EXPECT_EQ(withoutKey, ini::parse(IniDocument(userFile()), Language::English)); // the rest reads as before
    ASSERT_TRUE(patchWinampPath(path, "/opt/player"));
    ASSERT_TRUE(patchStructureSection(path, s.structure));
    ASSERT_TRUE(patchUserSections(path, s.userDirectories, s.externalPrograms));
    ASSERT_TRUE(writeIniOnExit(path, s));
    EXPECT_EQ(fileLines(path).mid(fileLines(path).indexOf("[END]")), tail);
    EXPECT_TRUE(loadIni(path, context).useId3v2);

    // Off: the file ends at "[END]" again.
    s.useId3v2 = false;
    ASSERT_TRUE(writeIniOnExit(path, s));
    EXPECT_EQ(fileLines(path).last(), "[END]");
    ASSERT_TRUE(patchTagSource(path, true));
    ASSERT_TRUE(patchTagSource(path, false));
    EXPECT_EQ(fileLines(path).last(), "[END]");

    // What tag writes do with ID3v2 tags stands in the same section, only
    // when it is not the default.
    ASSERT_TRUE(writeAll(path, crlf(userFile())));
    EXPECT_EQ(loadIni(path, context).id3v2Write, "update");
    EXPECT_EQ(setIniValue(path, "ID3v2Write", "sometimes"), SetResult::BadValue);
    EXPECT_EQ(setIniValue(path, "id3v2write", "add"), SetResult::Done);
    ASSERT_TRUE(patchTagSource(path, true));
    const QStringList both{"[END]", "[tag source]", "ID3v2=true", "ID3v2Write=add"};
    EXPECT_EQ(fileLines(path).mid(fileLines(path).indexOf("[END]")), both);
    s = loadIni(path, context);
    EXPECT_EQ(s.id3v2Write, "add");
    ASSERT_TRUE(writeIniOnExit(path, s));
    EXPECT_EQ(fileLines(path).mid(fileLines(path).indexOf("[END]")), both);
    ASSERT_TRUE(patchId3v2Write(path, "update"));
    EXPECT_EQ(fileLines(path).mid(fileLines(path).indexOf("[END]")), tail);

    // A hand-edited value other than "true" is off; a key outside its section is not read.
    for (const char *extra : {"[tag source]\r\nID3v2=yes\r\n", "ID3v2=true\r\n"}) {
        ASSERT_TRUE(writeAll(path, crlf(userFile()) + extra));
        EXPECT_FALSE(loadIni(path, context).useId3v2) << extra;
    }
}

// Where page 2 splits the names has a section of its own after "[END]",
// written while it holds a text, beside the tag source.
TEST_F(IniFile, SplitTextHasItsOwnSectionAfterTheEnd)
{
    ASSERT_TRUE(writeAll(path, crlf(userFile())));
    EXPECT_EQ(loadIni(path, context).fromNameSplitAt, "");
    EXPECT_EQ(setIniValue(path, "SplitAt", " - "), SetResult::Done);
    EXPECT_EQ(setIniValue(path, "ID3v2", "true"), SetResult::Done);
    const QStringList tail{"[END]", "[tag source]", "ID3v2=true", "[filename to tag]", "SplitAt= - "};
    EXPECT_EQ(fileLines(path).mid(fileLines(path).indexOf("[END]")), tail);
    KazSettings s = loadIni(path, context);
    EXPECT_EQ(s.fromNameSplitAt, " - ");
    ASSERT_TRUE(patchStructureSection(path, s.structure) && patchTagSource(path, false));
    EXPECT_EQ(fileLines(path).mid(fileLines(path).indexOf("[END]")), QStringList({"[END]", tail[3], tail[4]}));
    s.useId3v2 = false;
    s.fromNameSplitAt = "_-_";
    ASSERT_TRUE(writeIniOnExit(path, s));
    EXPECT_EQ(loadIni(path, context).fromNameSplitAt, "_-_");
    EXPECT_EQ(setIniValue(path, "SplitAt", "abcd"), SetResult::BadValue);
    EXPECT_EQ(setIniValue(path, "SplitAt", ""), SetResult::Done);
    EXPECT_EQ(fileLines(path).last(), "[END]");

    // Too long, or in the other section: not read.
    for (const char *extra : {"[filename to tag]\r\nSplitAt=abcd\r\n", "[tag source]\r\nSplitAt=-\r\n"}) {
        ASSERT_TRUE(writeAll(path, crlf(userFile()) + extra));
        EXPECT_EQ(loadIni(path, context).fromNameSplitAt, "") << extra;
    }
}
