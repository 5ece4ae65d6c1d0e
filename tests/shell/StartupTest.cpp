#include "config/ConfigFile.h"
#include "shell/Startup.h"
#include "config/WindowPlacement.h"

#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/ShellEntry.h"
#include "support/SettingsPrinter.h"
#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace kaz;
using namespace kaz::test;

struct Startup : HomeTest { ScriptedPrompter prompter; };

namespace {

StartupRequest request(const QStringList &arguments = {})
{
    return StartupRequest{arguments, QSize(1280, 1024), "/usr/bin/kaz"};
}

void setIniLine(int line, const QString &text)
{
    ASSERT_TRUE(patchIni(iniPath(), [&](IniDocument &doc) { doc.setLine(line - 1, text); }));
}

} // namespace

TEST_F(Startup, FirstStartWritesDefaultsRecordsTheFolderAndClearsWorkFiles)
{
    for (const char *name : {"DIR.KAZ", "DIR2.KAZ", "dl.kaz", "fl.kaz", "undo1.kaz"})
        ASSERT_TRUE(writeAll(programFolder() + QLatin1Char('/') + name, "x\r\n"));

    const StartupResult r = startUp(request(), prompter);
    ASSERT_EQ(r.outcome, StartupResult::Outcome::Ready);
    EXPECT_TRUE(prompter.shown.isEmpty());
    EXPECT_FALSE(r.settingsLoaded);
    EXPECT_EQ(r.settings, KazSettings::defaults(QSize(1280, 1024), Language::German));
    EXPECT_EQ(loadIni(iniPath(), {}), r.settings);
    EXPECT_EQ(Registry().value(Registry::kKazDirectory), programFolder());
    EXPECT_EQ(readAll(programFolder() + "/~temp.kaz"), QByteArray("\r\n"));
    EXPECT_EQ(QDir(programFolder()).entryList(QDir::Files), (QStringList{"undo1.kaz", "~temp.kaz"}));

    // A start without arguments records the folder again, whatever was stored.
    Registry stale;
    stale.setValue(Registry::kKazDirectory, "/elsewhere");
    ASSERT_TRUE(stale.save());
    EXPECT_EQ(startUp(request(), prompter).programFolder, programFolder());
    EXPECT_EQ(Registry().value(Registry::kKazDirectory), programFolder());
}

TEST_F(Startup, OpenArgumentOpensTheFolderOrLeavesTheStoredOne)
{
    const QString album = home.music() + "/Album";
    ASSERT_TRUE(writeAll(album + "/song.mp3", mp3WithTag(values("T", "A"))));
    // The context menu's start reads the program folder back and records nothing.
    const QString otherData = home.file("other-data");
    Registry stored;
    stored.setValue(Registry::kKazDirectory, otherData);
    stored.setValue(Registry::kLanguage, "english");
    ASSERT_TRUE(stored.save());
    const QByteArray registryBefore = readAll(Registry::defaultPath());

    StartupResult r = startUp(request({"-open", album + QLatin1Char('/')}), prompter);
    EXPECT_EQ(r.settings.lastDir, album);
    EXPECT_EQ(r.programFolder, otherData);
    EXPECT_EQ(r.language, Language::English);
    EXPECT_TRUE(QFile::exists(otherData + "/~temp.kaz"));
    EXPECT_EQ(readAll(Registry::defaultPath()), registryBefore);
    // A file's path opens its folder with the file selected: the window's session test.

    // A path that is gone leaves the stored start folder; so does a missing path.
    setIniLine(13, "LastDir=" + home.music());
    for (const QStringList &args : {QStringList{"-open", home.file("gone")}, QStringList{"-open"}}) {
        r = startUp(request(args), prompter);
        EXPECT_EQ(r.settings.lastDir, home.music());
        EXPECT_TRUE(r.selectName.isEmpty());
    }
    EXPECT_TRUE(prompter.shown.isEmpty());
}

TEST_F(Startup, UnwritableProgramFolderEndsWithTheMessageAndWritesNothing)
{
    // A file where the program folder should be: it can be neither created nor written.
    ASSERT_TRUE(writeAll(programFolder(), "in the way"));
    const StartupResult r = startUp(request(), prompter);
    EXPECT_EQ(r.outcome, StartupResult::Outcome::NotWritable);
    EXPECT_TRUE(r.noSave);
    EXPECT_EQ(prompter.shown, QStringList{message(Msg::NotOnHardDisk, Language::German)});
    EXPECT_FALSE(QFileInfo::exists(configFolder()));
    EXPECT_EQ(readAll(programFolder()), QByteArray("in the way"));
}

TEST_F(Startup, MissingStartFolderAndPlayerAreReportedAndReset)
{
    startUp(request(), prompter);
    const QString gone = home.file("gone");
    setIniLine(8, "SelectionBoxes=210");
    setIniLine(12, "WinAmp=/opt/winamp/winamp.exe");
    setIniLine(13, "LastDir=" + gone);

    StartupResult r = startUp(request(), prompter);
    ASSERT_EQ(prompter.shown.size(), 2);
    EXPECT_EQ(prompter.shown.at(0), "KAZ benutzt " + QDir::homePath()
                                         + " als aktuellen Pfad.\n\rFolgendes Verzeichnis existiert nicht mehr!\n\r\n\r" + gone);
    EXPECT_EQ(prompter.shown.at(1), message(Msg::WinampFolder, Language::German));
    EXPECT_EQ(r.settings.lastDir, QDir::homePath());
    EXPECT_FALSE(r.applySelection);
    EXPECT_FALSE(r.winampKnown);
    EXPECT_EQ(IniDocument::read(iniPath()).line(11), "WinAmp=.");

    // An existing player, also one named by the search path, stays.
    const QString player = home.file("player");
    ASSERT_TRUE(writeAll(player, "#!/bin/sh\n"));
    for (const QString &path : {player, QStringLiteral("sh")}) {
        setIniLine(12, "WinAmp=" + path);
        setIniLine(13, "LastDir=" + home.music());
        prompter.shown.clear();
        r = startUp(request(), prompter);
        EXPECT_TRUE(prompter.shown.isEmpty());
        EXPECT_TRUE(r.winampKnown);
        EXPECT_TRUE(r.applySelection);
        EXPECT_EQ(r.settings.selection, (std::array<int, 3>{2, 1, 0}));
    }
}

TEST_F(Startup, WindowGoesToTheStoredPlaceOnlyWhenItFits)
{
    struct Case {bool lastPosition; std::optional<int> left; QRect expected; };
    const QSize screen(1024, 768);
    const QPoint centred((1024 - 601) / 2, (768 - 460) / 2);
    const std::vector<Case> cases{
        {true, 324, QRect(324, 50, 700, 500)},  // right edge exactly at the screen's
        {true, 325, QRect(centred, QSize(700, 500))}, // one pixel beyond
        {false, 100, QRect(centred, QSize(700, 500))},
        {true, std::nullopt, QRect(centred, QSize(700, 500))},
    };
    for (const Case &c : cases) {
        KazSettings s;
        s.windowWidth = 700;
        s.windowHeight = 500;
        s.startWithLastPosition = c.lastPosition;
        s.windowLeft = c.left;
        s.windowTop = 50;
        EXPECT_EQ(windowGeometry(s, screen), c.expected) << c.lastPosition << " " << c.left.value_or(-1);
    }
}

TEST_F(Startup, ShutDownWritesSettingsAndClearsScratchUnlessNoSave)
{
    StartupResult session = startUp(request(), prompter);
    const QStringList scratch{"DIR.KAZ", "wpl.kaz", "sendto.kaz"};
    for (const QString &name : scratch)
        ASSERT_TRUE(writeAll(session.programFolder + QLatin1Char('/') + name, "x"));

    KazSettings changed = session.settings;
    changed.fontSize = 14;
    session.noSave = true;
    EXPECT_EQ(shutDown(session, changed, Language::English, false, "/usr/bin/kaz"), QStringList());
    EXPECT_EQ(loadIni(iniPath(), {}).fontSize, 8);
    EXPECT_TRUE(QFile::exists(session.programFolder + "/~temp.kaz"));
    EXPECT_EQ(Registry().value(Registry::kLanguage), "english"); // stored in any case

    session.noSave = false;
    EXPECT_EQ(shutDown(session, changed, Language::English, false, "/usr/bin/kaz"), QStringList());
    EXPECT_EQ(loadIni(iniPath(), {}).fontSize, 14);
    EXPECT_TRUE(QDir(session.programFolder).isEmpty(QDir::Files));
    // A file that cannot be written is named with the system's error.
    QFile::remove(iniPath());
    ASSERT_TRUE(QDir().mkpath(iniPath() + "/in the way"));
    const QStringList problems = shutDown(session, changed, Language::English, false, "/usr/bin/kaz");
    ASSERT_EQ(problems.size(), 1);
    EXPECT_TRUE(problems[0].startsWith(iniPath() + ": ")) << problems[0].toStdString();
}

TEST_F(Startup, AnExistingShellEntryTurnsRegistrationOnAndIsWrittenAgain)
{
    const QString program = "/usr/bin/kaz";
    ASSERT_TRUE(applyShellRegistration(true, Language::German, programFolder(), program));
    Registry english;
    english.setValue(Registry::kLanguage, "english");
    ASSERT_TRUE(english.save());
    EXPECT_TRUE(startUp(request(), prompter).shellRegistration);
    EXPECT_TRUE(QFile::exists(shellEntryPath(Language::English)));
    EXPECT_FALSE(QFile::exists(shellEntryPath(Language::German)));

    ASSERT_TRUE(applyShellRegistration(false, Language::English, programFolder(), program));
    EXPECT_FALSE(startUp(request(), prompter).shellRegistration);
}
