// The media player logic against three partners on a private session bus:
// a small MPRIS2 player of the tests (under a name of its own and under
// VLC's, for VLC's own ways), which runs everywhere and shows its list
// exactly, and a real VLC, headless, where one is installed.
#include "FakeMprisPlayer.h"
#include "PrivateBus.h"

#include "support/TestSupport.h"

#include "platform/MediaPlayerFactory.h"
#include "platform/MprisMediaPlayer.h"
#include "platform/WorkFiles.h"
#include "rename/RenameRun.h"
#include "rename/Undo.h"
#include "tools/PlayerControl.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>

#include <functional>

using namespace kaz;
using namespace kaz::test;

namespace {

// 600 frames of 26 ms: a little under 16 seconds.
constexpr int kFrames = 600;

// No check waits for a time: a player under load may take long for
// anything, so the limit only ends a wait for what never comes.
bool eventually(const std::function<bool()> &condition, int ms = 60000)
{
    for (const QDeadlineTimer deadline(ms); !condition(); QThread::msleep(20))
        if (deadline.hasExpired())
            return false;
    return true;
}

QString putSong(const QString &dir, const QString &name, const QString &title)
{
    return putTagged(dir, name, values(title, QStringLiteral("Abba")), kFrames);
}

// The partner: the test player's bus name, or "" for a real VLC.
class Player : public ::testing::TestWithParam<const char *>
{
protected:
    void SetUp() override
    {
        if (!bus.isUp())
            GTEST_SKIP() << "no private D-Bus session bus: " << bus.error().toStdString();
        const QString id = QString::fromLatin1(GetParam());
        if (id.isEmpty()) {
            executable = writeVlcLauncher(bus.sharedFolder());
            if (executable.isEmpty())
                GTEST_SKIP() << "VLC is not installed (packages vlc-bin, vlc-plugin-base): real-player tests skipped";
        } else {
            fake = std::make_unique<FakeMprisPlayer>(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"), id);
            ASSERT_TRUE(fake->isUp());
            // Named as the player, as a configured path would be; it runs already.
            executable = bus.sharedFolder() + QLatin1Char('/') + id;
            writeAll(executable, "#!/bin/sh\n");
            QFile::setPermissions(executable, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        music = bus.sharedFolder() + QStringLiteral("/music");
        player = std::make_unique<MprisMediaPlayer>(executable, bus.connection());
    }

    ::testing::AssertionResult nowPlaying(const QString &file)
    {
        if (eventually([&] { return player->playbackStatus() == QLatin1String("Playing") && player->currentFile() == file; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "wanted " << file.toStdString() << ", the player is "
                                             << player->playbackStatus().toStdString() << " at "
                                             << player->currentFile().toStdString();
    }
    bool status(const char *wanted)
    {
        return eventually([&] { return player->playbackStatus() == QLatin1String(wanted); });
    }
    void launched()
    {
        ASSERT_TRUE(player->isRunning());
        bus.notePlayer(player->serviceName());
    }
    // The play list file, and the test player's own list, hold the files.
    bool listed(const QStringList &files) const
    {
        const QByteArray lines = QString(' ' + files.join(QStringLiteral("\r\n ")) + QStringLiteral("\r\n")).toUtf8();
        return readAll(workFilePath(workfile::PlayList)) == lines && (!fake || fake->files() == files);
    }

    TempHome home;
    PrivateBus bus;
    std::unique_ptr<FakeMprisPlayer> fake; // leaves the bus before it ends
    QString executable;
    QString music;
    std::unique_ptr<MprisMediaPlayer> player;
};

} // namespace

TEST_P(Player, PlaysAddsPausesSkipsJumpsAndStops)
{
    const QString a = putSong(music, "a one.mp3", "One"), b = putSong(music, "b zwei #2.mp3", "Two"),
                  c = putSong(music, "c drei.mp3", "Three");
    PlayerControl control(*player);
    ASSERT_TRUE(control.playFiles({a, b})) << control.errorText(Language::English).toStdString();
    launched();
    EXPECT_TRUE(nowPlaying(a));
    EXPECT_TRUE(eventually([&] { return player->length() > 15000 && player->length() < 16500; })) << player->length();

    ASSERT_TRUE(control.addFiles({c}));
    EXPECT_TRUE(listed({a, b, c}));
    control.next();
    EXPECT_TRUE(nowPlaying(b));
    control.next();
    EXPECT_TRUE(nowPlaying(c)); // appended at the end, not at the front

    // The jump landed near 4 s: far from the start of the song and its end,
    // however long the player took.
    player->jumpTo(4000);
    const qint64 jumpedTo = player->position();
    EXPECT_GE(jumpedTo, 2500);
    EXPECT_LT(jumpedTo, 10000);
    EXPECT_TRUE(control.pauseToggle());
    EXPECT_TRUE(status("Paused"));
    EXPECT_TRUE(player->isPlaying()); // paused counts
    control.pauseToggle();
    EXPECT_TRUE(status("Playing"));

    // Playing a new selection replaces the list.
    ASSERT_TRUE(control.playFiles({c, a}));
    EXPECT_TRUE(listed({c, a}));
    EXPECT_TRUE(nowPlaying(c));
    control.next();
    EXPECT_TRUE(nowPlaying(a));

    control.stop();
    EXPECT_TRUE(status("Stopped"));
    EXPECT_FALSE(player->isPlaying());
    EXPECT_TRUE(player->isRunning()); // the player stays open
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::PlayList)));
}

// The rename run and its undo give the player the new paths and let the
// file that was playing go on near where it was (from its place in the list).
TEST_P(Player, RenameRunAndUndoKeepThePlayListWorking)
{
    // Names without digits: a run keeps a number from the old name.
    const QStringList files = {putSong(music, "xa.mp3", "Alpha"), putSong(music, "xb.mp3", "Beta"), putSong(music, "xc.mp3", "Gamma")};
    PlayerControl control(*player);
    ASSERT_TRUE(control.playFiles(files));
    launched();
    ASSERT_TRUE(nowPlaying(files[0]));
    control.next();
    ASSERT_TRUE(nowPlaying(files[1]));
    player->jumpTo(6000);
    ASSERT_TRUE(eventually([&] { return player->position() >= 6000; }));

    RenameRequest request;
    request.settings.secondField = NameField::Title;
    request.settings.thirdField = NameField::None;
    request.startFolder = music + QLatin1Char('/');
    request.selection = files;
    RenameEnvironment environment;
    environment.player = player.get();
    environment.language = Language::English;
    RunState state;
    const RenameOutcome outcome = renaming(request, environment, state);
    ASSERT_EQ(outcome.renamed, 3) << outcome.failures.join('\n').toStdString();

    const QString dir = music + QLatin1Char('/');
    const QStringList renamed{dir + "Abba - Alpha.mp3", dir + "Abba - Beta.mp3", dir + "Abba - Gamma.mp3"};
    EXPECT_TRUE(listed(renamed));
    EXPECT_TRUE(nowPlaying(renamed[1]));
    // Resumed at the noted position and a second (the run waits for the
    // jump to land within 1.5 s of it), not from the start.
    const qint64 resumedAt = player->position();
    EXPECT_GE(resumedAt, 5500);
    EXPECT_LT(resumedAt, 14000);
    control.next();
    EXPECT_TRUE(nowPlaying(renamed[2])); // the rest of the list has the new paths too

    // Undo while the third plays: it goes on under its old name.
    const UndoOutcome undone = undoLastRun(state, nullptr, Language::English, player.get());
    EXPECT_EQ(undone.restored, 3);
    EXPECT_TRUE(nowPlaying(files[2]));
    EXPECT_TRUE(listed(files));
}

TEST_P(Player, CommandLinePlaysStopsAndTellsTheStatus)
{
    const QString a = putSong(music, "a.mp3", "One"), b = putSong(music, "b.mp3", "Two");
    ASSERT_EQ(runCli({"config", "set", "WinAmp", executable}).exitCode, 0);

    EXPECT_TRUE(fake || runCli({"player", "stop"}).exitCode == 1); // nothing runs yet
    // One file could not be handled.
    EXPECT_TRUE(endedWith(runCli({"player", "play", a, b, music + "/missing.mp3"}), 1, "missing.mp3"));
    launched();
    EXPECT_TRUE(nowPlaying(a));
    EXPECT_TRUE(eventually([&] { return player->length() > 0; }));
    const CliResult shown = runCli({"player", "status", "--json"});
    ASSERT_TRUE(endedWith(shown, 0));
    const QByteArray expected = "{\"running\":true,\"playing\":true,\"paused\":false,\"file\":\"" + a.toUtf8() + "\"";
    EXPECT_TRUE(shown.out.startsWith(expected)) << shown.out.toStdString();
    EXPECT_TRUE(shown.out.contains("\"length_s\":16")) << shown.out.toStdString();

    EXPECT_EQ(runCli({"player", "next"}).exitCode, 0);
    EXPECT_TRUE(nowPlaying(b));
    for (auto [command, wanted] : {std::pair{"pause", "Paused"}, {"stop", "Stopped"}}) {
        EXPECT_EQ(runCli({"player", command}).exitCode, 0);
        EXPECT_TRUE(status(wanted)) << command;
    }
    EXPECT_EQ(runCli({"player", "jump"}).exitCode, 2);
}

INSTANTIATE_TEST_SUITE_P(Partners, Player, ::testing::Values("kazplayer", "vlc", ""),
                         [](const ::testing::TestParamInfo<const char *> &info) {
                             return std::string(*info.param ? info.param : "realVlc");
                         });

// No player configured gives the silent null player; a player that never
// appears, or is no file at all, ends in a message, not a hang.
TEST(PlayerStart, NoPlayerIsSilentAndOneThatNeverAppearsEndsInAMessage)
{
    for (const char *configured : {".", "", "/u"}) {
        const std::unique_ptr<MediaPlayer> none = createMediaPlayer(QString::fromLatin1(configured));
        PlayerControl quiet(*none);
        EXPECT_FALSE(quiet.playFiles({QStringLiteral("/x/a.mp3")})) << configured;
        EXPECT_TRUE(quiet.errorText(Language::German).isEmpty()) << configured;
    }

    PrivateBus bus;
    if (!bus.isUp())
        GTEST_SKIP() << "no private D-Bus session bus: " << bus.error().toStdString();
    // A "player" that runs a while but never joins the bus.
    const QString fake = bus.sharedFolder() + QStringLiteral("/silent-player");
    writeAll(fake, "#!/bin/sh\nexec sleep 3\n");
    QFile::setPermissions(fake, QFileDevice::ReadOwner | QFileDevice::ExeOwner);

    const MprisMediaPlayer::Options options{.startTimeoutMs = 800};
    MprisMediaPlayer player(fake, bus.connection(), options);
    PlayerControl control(player);
    EXPECT_FALSE(control.playFiles({QStringLiteral("/nowhere/a.mp3")}));
    EXPECT_EQ(control.errorText(Language::English), "The media player did not start:\n\r" + fake);

    // A player path that is no file at all fails at once.
    MprisMediaPlayer missing(bus.sharedFolder() + QStringLiteral("/gone"), bus.connection(), options);
    EXPECT_FALSE(missing.launch());
    EXPECT_FALSE(missing.errorText().isEmpty());
}
