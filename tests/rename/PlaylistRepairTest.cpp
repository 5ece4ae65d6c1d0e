// A rename run and a file the media player holds: the file is released,
// renamed and played on where it stopped, or reported and kept when no
// player holds it. The player is a stand-in that records what it was told.
// The list following the new names with real players:
// Player.RenameRunAndUndoKeepThePlayListWorking.
#include "RenameFixtures.h"

#include "support/gui/RecordingPlayer.h"
#include "platform/WorkFiles.h"
#include "rename/WorkListReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <functional>

using namespace kaz;
using namespace kaz::test;

using PlaylistRepair = HomeTest;

namespace {

// The shared recording player, told which file it plays; it reaches a file
// of its list as the classic player does.
struct Player : RecordingPlayer {
    Player() { lengthMs = 300000; }
    bool launch() override { return running; }
    bool isRunning() override { return running; }
    bool isPlaying() override { return running && !file.isEmpty(); }
    QString currentFile() override { return file; }
    void addFile(const QString &path) override { calls << QStringLiteral("add ") + QFileInfo(path).fileName(); }
    void play() override { calls << QStringLiteral("play"); }
    void playFromList(qsizetype index) override { MediaPlayer::playFromList(index); }
    void stop() override
    {
        RecordingPlayer::stop();
        if (onStop)
            onStop();
    }

    bool running = true;
    QString file;
    std::function<void()> onStop;
};

// Holds a file in place, as a player that has it open does elsewhere: the
// file is made immutable, which needs root.
class Pin
{
public:
    explicit Pin(QString path) : m_path(std::move(path)) { m_pinned = ::geteuid() == 0 && setImmutable(true); }
    ~Pin() { release(); }
    bool pinned() const { return m_pinned; }
    void release()
    {
        if (m_pinned)
            setImmutable(false);
        m_pinned = false;
    }

private:
    bool setImmutable(bool on) const
    {
        const int fd = ::open(QFile::encodeName(m_path).constData(), O_RDONLY | O_NONBLOCK);
        if (fd < 0)
            return false;
        int flags = 0;
        bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        ::close(fd);
        return done;
    }

    QString m_path;
    bool m_pinned = false;
};

// The program's copy of the player's list, as a run finds it.
void writePlaylist(const QStringList &paths)
{
    ASSERT_TRUE(writeAll(workFilePath(workfile::PlayList), QString(' ' + paths.join("\r\n ") + "\r\n").toUtf8()));
}

QStringList playlist()
{
    QStringList names;
    for (const QString &line : WorkListReader::readAll(workFilePath(workfile::PlayList)))
        names << QFileInfo(line.trimmed()).fileName();
    return names;
}

// A run by artist and title with the player.
RenameOutcome runWith(Player &player, const QString &start, const QStringList &selection, RunState *state = nullptr)
{
    RunFixture run;
    run.player = &player;
    const RenameOutcome outcome = run.run(artistTitle(), start, selection);
    if (state)
        *state = run.state;
    return outcome;
}

} // namespace

TEST_F(PlaylistRepair, AHeldPlayingFileIsReleasedRenamedAndPlayedOnWhereItStopped)
{
    const QString dir = home.music() + "/Now";
    const QString a = putTagged(dir, "a.mp3", values("One", "Band"));
    const QString b = putTagged(dir, "b.mp3", values("Two", "Band"));
    const QString elsewhere = putTagged(home.music() + "/Other", "x.mp3", values("Three", "Band"));
    writePlaylist({elsewhere, b, a});
    Pin pin(a);
    if (!pin.pinned())
        GTEST_SKIP() << "needs root and a file system with immutable files to hold a file in place";

    Player player;
    player.file = a;
    player.positionMs = 61000;
    player.onStop = [&pin] { pin.release(); }; // stopping lets go of the file
    RunState state;
    const RenameOutcome outcome = runWith(player, dir + '/', {a, b}, &state);
    EXPECT_EQ(outcome.renamed, 2) << qPrintable(outcome.failures.join('\n'));
    EXPECT_EQ(namesIn(dir), QStringList({"Band - One.mp3", "Band - Two.mp3"}));
    EXPECT_EQ(playlist(), QStringList({"x.mp3", "Band - Two.mp3", "Band - One.mp3"}));
    EXPECT_EQ(state.playingFile, dir + "/Band - One.mp3");
    // Released, then refilled from the repaired list and back at the third
    // entry, a second after where it stopped.
    EXPECT_EQ(player.calls, QStringList({"stop", "clear", "clear", "add x.mp3", "add Band - Two.mp3",
                                         "add Band - One.mp3", "stop", "next", "next", "play", "jump 62000"}));
}

TEST_F(PlaylistRepair, AFileHeldByNoPlayerIsReportedAndKept)
{
    const QString dir = home.music() + "/Now";
    const QString a = putTagged(dir, "a.mp3", values("One", "Band"));
    writePlaylist({a});
    Pin pin(a);
    if (!pin.pinned())
        GTEST_SKIP() << "needs root and a file system with immutable files to hold a file in place";

    struct Case {
        const char *what;
        bool running;
        QString playing;
    } cases[] = {{"no player", false, QString()}, {"the player plays another file", true, home.path() + "/y.mp3"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        Player player;
        player.running = c.running;
        player.file = c.playing;
        const RenameOutcome outcome = runWith(player, dir + '/', {a});
        EXPECT_EQ(outcome.renamed, 0);
        ASSERT_EQ(outcome.failures.size(), 1);
        EXPECT_TRUE(outcome.failures.first().contains("a.mp3")) << qPrintable(outcome.failures.first());
        EXPECT_EQ(player.calls, QStringList()) << "a player that does not hold the file is left alone";
        EXPECT_EQ(playlist(), QStringList({"a.mp3"}));
    }
    pin.release();
    EXPECT_EQ(namesIn(dir), QStringList({"a.mp3"}));
}
