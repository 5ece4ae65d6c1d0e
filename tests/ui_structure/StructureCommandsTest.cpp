#include "structure/ui/StructureCommands.h"

#include "../structure/StructureFixtures.h"

#include "config/ConfigFile.h"
#include "support/gui/ModalWatch.h"
#include "platform/Messages.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QPushButton>
#include <QTimer>

using namespace kaz;
using namespace kaz::test;

namespace {

// Presses a button of the next modal dialog as soon as it is shown.
void pressWhenOpen(const char *button)
{
    whenModalOpens(QString(), [button](QWidget *dialog) {
        if (auto *b = dialog->findChild<QPushButton *>(QLatin1String(button)))
            b->click();
        else
            ADD_FAILURE() << "no button " << button;
    });
}

class StructureCommandsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        EXPECT_TRUE(createDefaultIni(iniPath(), IniContext{kCommandLineScreen, Language::English, nullptr}));
        for (int i = 0; i < 8; ++i)
            putSong(home.music(), QStringLiteral("a%1.mp3").arg(i), "Abba", "Arrival");
    }

    StructureCommands commands()
    {
        StructureCommandContext c;
        c.prompter = &prompter;
        c.state = &state;
        c.language = Language::English;
        return StructureCommands(c);
    }

    TempHome home;
    ScriptedPrompter prompter;
    RunState state;
};

} // namespace

TEST_F(StructureCommandsTest, PopupItemsAreOffAtAVolumeRoot)
{
    const auto root = StructureCommands::popupState("/", false);
    EXPECT_FALSE(root.create || root.reorganize || root.breakUp);
    auto folder = StructureCommands::popupState(home.music(), false);
    EXPECT_TRUE(folder.create && folder.reorganize && folder.breakUp);
    folder = StructureCommands::popupState(home.music(), true);
    EXPECT_FALSE(folder.create);
    EXPECT_TRUE(folder.reorganize);
}

TEST_F(StructureCommandsTest, CreateRunsOnlyAfterSaveWhenTheDialogIsShown)
{
    const auto before = hashesByPath(home.music());
    pressWhenOpen("CancelBtn");
    EXPECT_FALSE(commands().create(home.music()).has_value());
    EXPECT_EQ(hashesByPath(home.music()), before);
    EXPECT_TRUE(state.filesTouched);

    pressWhenOpen("OKBtn");
    const auto outcome = commands().create(home.music());
    ASSERT_TRUE(outcome.has_value());
    EXPECT_EQ(outcome->moved.size(), 8u);
    EXPECT_TRUE(QFile::exists(home.music() + "/Album/Abba/Arrival/a0.mp3"));

    ASSERT_EQ(setIniValue(iniPath(), "show3", "false"), SetResult::Done);
    prompter.answers = {Button::Cancel};
    EXPECT_FALSE(commands().reorganize(home.music()).has_value());
    EXPECT_EQ(prompter.shown.last(), message(Msg::ReorganizeWarning, Language::English));
    prompter.answers = {Button::Yes};
    EXPECT_TRUE(commands().reorganize(home.music()).has_value()); // no dialog: show3 is off
    EXPECT_TRUE(QFile::exists(home.music() + "/Album/Abba/Arrival/a0.mp3"));
}

TEST_F(StructureCommandsTest, BreakAsksForTheModeFirst)
{
    putSong(home.music() + "/sub", "b.mp3", "B", "Y");
    putFile(home.music() + "/sub", "cover.jpg", "jpg");
    prompter.answers = {Button::Cancel};
    EXPECT_FALSE(commands().breakUp(home.music()).has_value());
    prompter.answers = {Button::Ignore, Button::No};
    EXPECT_FALSE(commands().breakUp(home.music()).has_value());
    EXPECT_TRUE(QFile::exists(home.music() + "/sub/b.mp3"));
    prompter.answers = {Button::Ignore, Button::Yes};
    const auto outcome = commands().breakUp(home.music());
    ASSERT_TRUE(outcome.has_value());
    EXPECT_TRUE(outcome->moveComplete);
    EXPECT_TRUE(QFile::exists(home.music() + "/cover.jpg"));
    EXPECT_FALSE(QDir(home.music() + "/sub").exists());
}
