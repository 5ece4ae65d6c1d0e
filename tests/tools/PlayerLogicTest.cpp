// The player logic against a small MPRIS2 player on a private bus: runs
// everywhere, and looks into the player's list, track and position exactly.
// PlayerTest.cpp runs the same kind of flow against a real VLC.
#include "FakeMprisPlayer.h"
#include "PrivateBus.h"

#include "support/TestSupport.h"

#include "platform/MprisMediaPlayer.h"
#include "platform/WorkFiles.h"
#include "rename/RenameRun.h"
#include "rename/Undo.h"
#include "tools/PlayerControl.h"

#include <QDir>
#include <QFile>

using namespace kaz;
using namespace kaz::test;

namespace {

// The generic MPRIS2 way, and VLC's own (its Append path, the shuffle toggle).
class PlayerLogic : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (!bus.isUp())
            GTEST_SKIP() << "no private D-Bus session bus: " << bus.error().toStdString();
        fake = std::make_unique<FakeMprisPlayer>(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                                                 QString::fromLatin1(GetParam()));
        ASSERT_TRUE(fake->isUp());
        // Named as the player, as a configured path would be; it runs already.
        executable = bus.sharedFolder() + QLatin1Char('/') + QString::fromLatin1(GetParam());
        writeAll(executable, "#!/bin/sh\n");
        QFile::setPermissions(executable, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        player = std::make_unique<MprisMediaPlayer>(executable, bus.connection());
        for (const char *name : {"a.mp3", "b.mp3", "c.mp3"}) {
            songs << home.music() + QLatin1Char('/') + QLatin1String(name);
            writeAll(songs.last(), mp3WithTag(values(QString::fromLatin1(name).left(1), QStringLiteral("Abba")), 2));
        }
    }

    QByteArray playList() const { return readAll(workFilePath(workfile::PlayList)); }

    TempHome home;
    PrivateBus bus;
    std::unique_ptr<FakeMprisPlayer> fake; // leaves the bus before it ends
    std::unique_ptr<MprisMediaPlayer> player;
    QString executable;
    QStringList songs;
};

} // namespace

TEST_P(PlayerLogic, PlaysAddsSkipsJumpsPausesAndStops)
{
    const QString a = songs[0], b = songs[1], c = songs[2];
    PlayerControl control(*player);
    ASSERT_TRUE(control.playFiles({a, b})) << control.errorText(Language::English).toStdString();
    EXPECT_EQ(fake->files(), QStringList({a, b}));
    EXPECT_EQ(fake->currentFile(), a);
    EXPECT_EQ(fake->status(), "Playing");
    EXPECT_EQ(playList(), QByteArray(" " + a.toUtf8() + "\r\n " + b.toUtf8() + "\r\n"));

    ASSERT_TRUE(control.addFiles({c}));
    EXPECT_EQ(fake->files(), QStringList({a, b, c})); // at the end, not at the front
    EXPECT_EQ(fake->currentFile(), a);
    EXPECT_EQ(playList(), QByteArray(" " + a.toUtf8() + "\r\n " + b.toUtf8() + "\r\n " + c.toUtf8() + "\r\n"));
    control.next();
    EXPECT_EQ(player->currentFile(), b);
    EXPECT_EQ(player->length(), 16000);

    player->jumpTo(4000);
    EXPECT_GE(fake->positionMs(), 4000);
    EXPECT_LT(fake->positionMs(), 5500);
    EXPECT_TRUE(fake->calls().contains("Player.SetPosition 4000 ms"));

    EXPECT_TRUE(control.pauseToggle()); // paused counts as playing
    EXPECT_EQ(fake->status(), "Paused");
    EXPECT_TRUE(player->isPaused());
    control.pauseToggle();
    EXPECT_EQ(fake->status(), "Playing");

    // Playing a new selection replaces the list.
    ASSERT_TRUE(control.playFiles({c, a}));
    EXPECT_EQ(fake->files(), QStringList({c, a}));
    EXPECT_EQ(fake->currentFile(), c);

    control.stop();
    EXPECT_EQ(fake->status(), "Stopped");
    EXPECT_FALSE(player->isPlaying());
    EXPECT_TRUE(player->isRunning()); // the player stays open
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::PlayList)));
}

TEST_P(PlayerLogic, PlayFromListReachesTheFileAtTheIndex)
{
    for (qsizetype index : {2, 0, 1}) {
        player->clearPlaylist();
        for (const QString &song : std::as_const(songs))
            player->addFile(song);
        player->playFromList(index);
        EXPECT_EQ(fake->currentFile(), songs[index]) << index;
        EXPECT_EQ(fake->status(), "Playing") << index;
    }
}

// The rename run and its undo give the player the new paths and let the
// file that was playing go on a second after where it was.
TEST_P(PlayerLogic, RenameRunAndUndoKeepThePlayListWorking)
{
    PlayerControl control(*player);
    ASSERT_TRUE(control.playFiles(songs));
    control.next();
    player->jumpTo(6000);
    ASSERT_EQ(fake->currentFile(), songs[1]);

    RenameRequest request;
    request.settings.secondField = NameField::Title;
    request.settings.thirdField = NameField::None;
    request.startFolder = home.music() + QLatin1Char('/');
    request.selection = songs;
    RenameEnvironment environment;
    environment.player = player.get();
    environment.language = Language::English;
    RunState state;
    const RenameOutcome outcome = renaming(request, environment, state);
    ASSERT_EQ(outcome.renamed, 3) << outcome.failures.join('\n').toStdString();

    const QString dir = home.music() + QLatin1Char('/');
    const QStringList renamed{dir + "Abba - a.mp3", dir + "Abba - b.mp3", dir + "Abba - c.mp3"};
    EXPECT_EQ(fake->files(), renamed);
    EXPECT_EQ(fake->currentFile(), renamed[1]);
    EXPECT_GE(fake->positionMs(), 7000);
    EXPECT_LT(fake->positionMs(), 9000);
    EXPECT_EQ(playList(), QString(' ' + renamed.join("\r\n ") + "\r\n").toUtf8());

    control.next();
    const UndoOutcome undone = undoLastRun(state, nullptr, Language::English, player.get());
    EXPECT_EQ(undone.restored, 3);
    EXPECT_EQ(fake->files(), songs);
    EXPECT_EQ(fake->currentFile(), songs[2]);
    EXPECT_EQ(playList(), QString(' ' + songs.join("\r\n ") + "\r\n").toUtf8());
}

TEST_P(PlayerLogic, CommandLineDrivesTheRunningPlayer)
{
    ASSERT_EQ(runCli({"config", "set", "WinAmp", executable}).exitCode, 0);
    const CliResult play = runCli({"player", "play", songs[0], songs[1], home.music() + "/missing.mp3"});
    EXPECT_EQ(play.exitCode, 1) << play.err.toStdString(); // one file could not be handled
    EXPECT_TRUE(play.err.contains("missing.mp3"));
    EXPECT_EQ(fake->files(), songs.mid(0, 2));

    const CliResult shown = runCli({"player", "status", "--json"});
    EXPECT_EQ(shown.exitCode, 0);
    const QByteArray expected = "{\"running\":true,\"playing\":true,\"paused\":false,\"file\":\"" + songs[0].toUtf8() + "\"";
    EXPECT_TRUE(shown.out.startsWith(expected)) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("\"length_s\":16")) << shown.out.toStdString();

    EXPECT_EQ(runCli({"player", "next"}).exitCode, 0);
    EXPECT_EQ(fake->currentFile(), songs[1]);
    EXPECT_EQ(runCli({"player", "pause"}).exitCode, 0);
    EXPECT_EQ(fake->status(), "Paused");
    EXPECT_EQ(runCli({"player", "stop"}).exitCode, 0);
    EXPECT_EQ(fake->status(), "Stopped");
}

INSTANTIATE_TEST_SUITE_P(Mpris, PlayerLogic, ::testing::Values("kazplayer", "vlc"));
