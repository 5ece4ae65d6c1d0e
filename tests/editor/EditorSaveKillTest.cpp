// A Save of the tag editor killed at a random moment leaves every file with
// its audio and exactly one trailer.
#include "EditorFixtures.h"

#include "editor/TagEditorModel.h"
#include "tags/TagIO.h"

#include <QFile>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {

// Saves the files over and over, long and short titles by turns (so the
// trailer grows and shrinks), until killed; counts saves in the pipe.
[[noreturn]] void saveForever(const QStringList &files, int progressFd)
{
    TagEditorSession session;
    TagEditorModel model(session, TagContext{});
    for (int round = 0;; ++round) {
        for (const QString &file : files) {
            model.open(file);
            model.fields().title = round % 2 ? QStringLiteral("short") : QString(300, QLatin1Char('x'));
            model.save(nameWithoutMp3(file), false);
            const char tick = 1;
            if (::write(progressFd, &tick, 1) < 0)
                ::_exit(2);
        }
    }
}

} // namespace

TEST(EditorSaveKill, KilledSavesLeaveAudioAndOneTrailer)
{
    TempHome home;
    QStringList files;
    for (int i = 0; i < 200; ++i)
        files << putSong(home.music(), QStringLiteral("f%1.mp3").arg(i), values(QStringLiteral("t"), QStringLiteral("a")), true,
                         {QByteArray("LYR00005hello")});
    const QByteArray audio = mp3Frames(3);
    QRandomGenerator random(20261206);
    for (int round = 0; round < 4; ++round) {
        int pipeFds[2];
        ASSERT_EQ(::pipe(pipeFds), 0);
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(pipeFds[0]);
            saveForever(files, pipeFds[1]);
        }
        ::close(pipeFds[1]);
        QThread::msleep(random.bounded(20, 120));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)); // the kill landed while it was saving
        char buffer[4096];
        qint64 saves = 0;
        for (ssize_t n; (n = ::read(pipeFds[0], buffer, sizeof buffer)) > 0;)
            saves += n;
        ::close(pipeFds[0]);
        EXPECT_GT(saves, 0) << "killed before the first save";
        for (const QString &f : files) {
            const QByteArray bytes = readAll(f);
            ASSERT_TRUE(bytes.startsWith(audio)) << f.toStdString();
            const TagRecord tag = readTag(f, {});
            ASSERT_TRUE(tag.tagged) << f.toStdString();
            EXPECT_EQ(bytes.size(), audio.size() + 128 + (tag.hasLyrics3 ? tag.lyrics3Size : 0))
                << "two trailers in " << f.toStdString();
        }
    }
}
