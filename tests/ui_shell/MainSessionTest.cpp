#include "shell/ui/MainSession.h"
#include "shell/ui/MainWindow.h"

#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/ShellEntry.h"
#include "config/ConfigFile.h"
#include "support/gui/TestWindow.h"

#include <QAction>
#include <QToolButton>

using namespace kaz;
using namespace kaz::test;

namespace {

struct Session {
    explicit Session(const QStringList &arguments = {})
    {
        StartupResult startup = startUp({arguments, QSize(1024, 768), QStringLiteral("/usr/bin/kaz")}, prompter);
        iniPath = startup.iniPath;
        MainWindowOptions options = TestWindow::options(startup.settings.lastDir, startup.language);
        options.selectName = startup.selectName;
        shown.open(options, [&](MainWindow &w) {
            w.addPage(placeholderPage(0));
            w.addPage(placeholderPage(1));
            session = new MainSession(std::move(startup), QStringLiteral("/usr/bin/kaz"), w);
            session->apply();
        });
    }

    TestWindow shown;
    ScriptedPrompter &prompter = shown.prompter;
    QString iniPath;
    std::unique_ptr<MainWindow> &window = shown.window;
    MainSession *session = nullptr;
};

} // namespace

TEST(MainSession, OpenSelectsEntryAndExitWritesTheFolder)
{
    TempHome home;
    const QString album = home.music() + "/Album";
    writeAll(album + "/a.mp3", mp3Frames(2));
    writeAll(album + "/b.mp3", mp3Frames(2));
    {
        Session s({"-open", album + "/b.mp3"});
        EXPECT_EQ(s.window->files().currentFolder(), album);
        EXPECT_EQ(s.window->files().selectedNames(), QStringList{"b.mp3"});
        s.window->findChild<QToolButton *>("FontUpButton")->click();
        s.window->showPage(1);
        s.window->close();
    }
    const KazSettings stored = loadIni(iniPath(), IniContext{});
    EXPECT_EQ(stored.lastDir, album);
    EXPECT_EQ(stored.fontSize, 10);
    EXPECT_EQ(stored.page, 1);
    EXPECT_FALSE(QFile::exists(programFolder() + "/DIR.KAZ"));
}

TEST(MainSession, LanguageIsStoredAtOnceDialogSettingsAreRereadAndTheFolderEntryFollows)
{
    TempHome home;
    Session s;
    s.window->findChild<QAction *>("English1")->trigger();
    EXPECT_EQ(storedLanguage(), Language::English);

    std::array<QString, 9> characters;
    characters.fill("+");
    ASSERT_TRUE(patchCharactersAndDelimiter(s.iniPath, characters, "_"));
    s.window->deactivate();
    s.window->reactivate();
    EXPECT_EQ(s.session->settings().delimiter, "_");
    EXPECT_EQ(s.session->settings().replacementCharacters[0], "+");

    // The folder entry switches language with the window.
    s.window->findChild<QAction *>("Addtoshell1")->trigger(); // on
    EXPECT_TRUE(QFile::exists(shellEntryPath(Language::English)));
    s.window->findChild<QAction *>("German1")->trigger();
    EXPECT_FALSE(QFile::exists(shellEntryPath(Language::English)));
    EXPECT_TRUE(QFile::exists(shellEntryPath(Language::German)));
    s.window->findChild<QAction *>("Addtoshell1")->trigger(); // off
    EXPECT_FALSE(shellEntryExists());
}
