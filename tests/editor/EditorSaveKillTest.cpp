// A Save of the tag editor killed at any step leaves every file with its
// audio and exactly the trailer before or after that save, once the journal
// is replayed as the next start does.
#include "EditorFixtures.h"

#include "editor/TagEditorModel.h"
#include "platform/TailJournal.h"
#include "tags/TagIO.h"

#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

namespace {

// Saves each file with a long title (the trailer grows), then a short one
// (it shrinks), in a child process; with step > 0 the child is killed at
// that step of the tag writes. With keepStates the bytes after each save go
// beside the file as FILE.1 and FILE.2. True when the child was killed.
bool saveInChild(const QStringList &files, int step, bool keepStates)
{
    const pid_t child = ::fork();
    if (child == 0) {
        if (step > 0)
            ::setenv("KAZ_FAULT_AT", qPrintable(QStringLiteral("tail:%1").arg(step)), 1);
        TagEditorSession session;
        TagEditorModel model(session, TagContext{});
        for (const QString &file : files) {
            for (int save = 1; save <= 2; ++save) {
                model.open(file);
                model.fields().title = save == 1 ? QString(300, QLatin1Char('x')) : "short";
                model.save(nameWithoutMp3(file), false);
                if (keepStates)
                    writeAll(file + QLatin1Char('.') + QString::number(save), readAll(file));
            }
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFSIGNALED(status);
}

} // namespace

TEST(EditorSaveKill, KilledSavesLeaveTheTrailerBeforeOrAfterTheSave)
{
    TempHome home;
    QStringList files;
    QMap<QString, QList<QByteArray>> states; // before, after the first save, after the second
    for (int i = 0; i < 3; ++i)
        files << putSong(home.music(), QStringLiteral("f%1.mp3").arg(i), values("t", "a"), true,
                         {QByteArray("LYR00005hello")});
    for (const QString &f : files)
        states[f] << readAll(f);
    ASSERT_FALSE(saveInChild(files, 0, true));
    for (const QString &f : files) {
        states[f] << readAll(f + ".1") << readAll(f + ".2");
        writeAll(f, states[f].first());
    }
    const QByteArray audio = mp3Frames(3);
    int kills = 0;
    for (int step = 1; saveInChild(files, step, false); ++step) {
        ++kills;
        recoverInterruptedTailWrites();
        for (const QString &f : files) {
            const QByteArray bytes = readAll(f);
            ASSERT_TRUE(bytes.startsWith(audio)) << f.toStdString() << " step " << step;
            ASSERT_TRUE(states[f].contains(bytes)) << f.toStdString() << " step " << step;
            writeAll(f, states[f].first());
        }
    }
    EXPECT_GE(kills, 2 * 2 * files.size()) << "the kills missed steps of the saves";
}
