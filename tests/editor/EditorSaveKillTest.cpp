// A Save of the tag editor killed at any step leaves every file with its
// audio and exactly the trailer before or after that save, once the journal
// is replayed as the next start does.
#include "EditorFixtures.h"
#include "support/FreshChild.h"

#include "editor/TagEditorModel.h"
#include "platform/TailJournal.h"
#include "tags/TagIO.h"

using namespace kaz;
using namespace kaz::test;

namespace {

// Saves each file with a long title (the trailer grows), then a short one
// (it shrinks). With keepStates the bytes after each save go beside the file
// as FILE.1 and FILE.2. Arguments: keepStates ("1" or "0"), the files.
const FreshChildEntry saves("editor-saves", [](const QStringList &arguments) {
    const bool keepStates = arguments.value(0) == QLatin1String("1");
    TagEditorSession session;
    TagEditorModel model(session, TagContext{});
    for (const QString &file : arguments.mid(1)) {
        for (int save = 1; save <= 2; ++save) {
            model.open(file);
            model.fields().title = save == 1 ? QString(300, QLatin1Char('x')) : "short";
            model.save(nameWithoutMp3(file), false);
            if (keepStates)
                writeAll(file + QLatin1Char('.') + QString::number(save), readAll(file));
        }
    }
    return 0;
});

// The saves in a fresh child, which with step > 0 is killed at that step of
// the tag writes; true when it was killed. The child is a new program, not a
// fork of this one: the fault point reads its step once per process, and a
// test before this one may have passed it already.
bool saveInChild(const QStringList &files, int step, bool keepStates)
{
    QList<QByteArray> environment;
    if (step > 0)
        environment << "KAZ_FAULT_AT=tail:" + QByteArray::number(step);
    return runFreshChild("editor-saves", QStringList{keepStates ? "1" : "0"} + files, environment).killed;
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
