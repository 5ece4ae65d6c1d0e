// The cleanup run on real files: the non-MP3 question, numbered suffixes,
// files that keep their names, and undo from the log.
#include "CleanupFixtures.h"

#include "cleanup/CleanupLog.h"
#include "cleanup/CleanupRun.h"

#include "platform/Messages.h"
#include "platform/RunLock.h"

using namespace kaz;
using namespace kaz::test;

namespace {

CleanupOptions plain()
{
    CleanupOptions o;
    o.capitalizeFirst = false;
    return o;
}

struct Cleaner {
    ScriptedPrompter prompter;

    CleanupOutcome operator()(const QStringList &paths, const QString &script, bool preview = false)
    {
        CleanupRequest request{paths, script, plain(), preview};
        CleanupEnvironment environment;
        environment.prompter = &prompter;
        environment.language = Language::English;
        return cleanupFiles(request, environment);
    }
};

class CleanupRun : public HomeTest
{
protected:
    Cleaner run;
};

} // namespace

TEST(CleanupNames, Mp3IsTheExtensionInAnyCase)
{
    for (const QString name : {"a.mp3", "a.MP3", "a.Mp3", ".mp3", "mp3", "a.mp", "a.mp3.x", "a.mp4", "a.np3",
                               "a.m-3", "ä.mp3", "a.mpä", "a.mp3 ", "a.mP3", "a", "", "a.mq3", "a,mp3", "a.MPEG"}) {
        const qsizetype dot = name.lastIndexOf(u'.');
        const bool expected = dot >= 0 && name.mid(dot).compare(QLatin1String(".mp3"), Qt::CaseInsensitive) == 0;
        EXPECT_EQ(isMp3FileName(name), expected) << name.toStdString();
        EXPECT_EQ(countNonMp3({QStringLiteral("/m/x.y/") + name}), expected ? 0 : 1) << name.toStdString();
    }
    EXPECT_EQ(countNonMp3({QStringLiteral("/m/x.mp3/mp3"), QStringLiteral("mp3"), QStringLiteral("/.mp3")}), 2);
}

TEST_F(CleanupRun, TheThreeAnswersToTheNonMp3Question)
{
    struct Case { Button answer; QStringList expected; };
    const QString script = QStringLiteral("\"_\"\" \":");
    for (const Case &c : {Case{Button::Yes, {"a x.mp3", "b x.MP3", "c_x.wav"}},
                          Case{Button::Ignore, {"a x.mp3", "b x.MP3", "c x.wav"}},
                          Case{Button::Cancel, {"a_x.mp3", "b_x.MP3", "c_x.wav"}}}) {
        TempHome home;
        const QString dir = home.music();
        const QStringList files{putFile(dir, "a_x.mp3"), putFile(dir, "b_x.MP3"), putFile(dir, "c_x.wav")};
        Cleaner run;
        run.prompter.answers = {c.answer};
        const CleanupOutcome outcome = run(files, script);
        EXPECT_EQ(namesIn(dir), c.expected);
        ASSERT_EQ(run.prompter.shown.size(), 1);
        EXPECT_EQ(run.prompter.shown[0], "1" + message(Msg::OneNonMp3File, Language::English));
        EXPECT_EQ(outcome.cancelled, c.answer == Button::Cancel);
        EXPECT_EQ(outcome.nonMp3Left, c.answer == Button::Yes ? 1 : 0);
        EXPECT_EQ(cleanupLogExists(), c.answer != Button::Cancel);
    }
    // Only MP3 files ask nothing: see the messages of the other runs here.
    // Two files take the plural text.
    EXPECT_EQ(nonMp3Question(2, Language::German).left(12), "2 Dateien si");
}

// Two files cleaned to one name are numbered, a file that has the name
// already keeps it; a file may take the name another one has just given up.
// The undo goes backwards and brings back every name.
TEST_F(CleanupRun, NumberedAndTakenOverNamesAndTheirUndo)
{
    struct Case {
        QStringList names;
        QString script;
        QStringList after;
        const char *takenBy; // the content now at the first name of after
        int unchanged;
    };
    for (const Case &c : {Case{{"x-a.mp3", "x-b.mp3", "x.mp3"}, "2-3\"\":", {"x (1).mp3", "x (2).mp3", "x.mp3"}, "x-a.mp3", 1},
                          Case{{"aa.mp3", "b.mp3"}, "\"aa\"\"a\":\"b\"\"aa\":", {"a.mp3", "aa.mp3"}, "aa.mp3", 0}}) {
        TempHome home;
        const QString dir = home.music();
        QStringList files;
        for (const QString &name : c.names)
            files << putFile(dir, name);
        const auto before = treeHashes(dir);
        const CleanupOutcome outcome = run(files, c.script);
        EXPECT_EQ(namesIn(dir), c.after);
        EXPECT_EQ(readAll(dir + '/' + c.after[0]), "content of " + QByteArray(c.takenBy));
        EXPECT_EQ(outcome.unchanged, c.unchanged);
        EXPECT_EQ(outcome.renamed, 2);

        const CleanupUndoOutcome undo = undoCleanup();
        EXPECT_EQ(undo.restored, 2);
        EXPECT_TRUE(undo.failures.isEmpty());
        EXPECT_EQ(treeHashes(dir), before);
        EXPECT_TRUE(undoCleanup().nothingToUndo);
    }
}

TEST_F(CleanupRun, ANameTheScriptWouldEmptyShortensTheScriptForTheRest)
{
    const QStringList files{putFile(dir, "d_e.mp3"), putFile(dir, "abc.mp3"), putFile(dir, "abc_abc.mp3")};
    const CleanupOutcome outcome = run(files, QStringLiteral("\"_\"\" \":abc:"));
    // "abc" alone would vanish: one message, and the last entry is gone for
    // that file and every file after it.
    EXPECT_EQ(run.prompter.shown, QStringList{message(Msg::WholeNameRemoved, Language::English)});
    EXPECT_EQ(outcome.script, "\"_\"\" \":");
    EXPECT_EQ(namesIn(dir), (QStringList{"abc abc.mp3", "abc.mp3", "d e.mp3"}));
}

TEST_F(CleanupRun, FilesThatKeepTheirNamesAreCountedWithTheReason)
{
    const QStringList files{putFile(dir, ".mp3"), dir + "/gone_away.mp3", putFile(dir, "a\nb_c.mp3"),
                            putFile(dir, "x .mp3"), putFile(dir, "ok_1.mp3")};
    const CleanupOutcome outcome = run(files, QStringLiteral("x:\"_\"\" \":"));
    EXPECT_EQ(outcome.renamed, 1);
    EXPECT_EQ(outcome.notCleaned(), 4);
    ASSERT_EQ(outcome.files.size(), 5);
    const CleanupFileResult::Outcome kept[] = {CleanupFileResult::Skipped, CleanupFileResult::Failed,
                                               CleanupFileResult::Skipped, CleanupFileResult::Skipped};
    for (size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(outcome.files[i].outcome, kept[i]) << i;
        EXPECT_FALSE(outcome.files[i].reason.isEmpty()) << i;
    }
    EXPECT_EQ(outcome.files[3].reason, "nothing but the extension would be left");
    EXPECT_EQ(namesIn(dir), (QStringList{".mp3", "a\nb_c.mp3", "ok 1.mp3", "x .mp3"}));
    // Only the renamed file is in the log.
    EXPECT_EQ(readCleanupLog().entries.size(), 1);
}

TEST_F(CleanupRun, LongNamesFitTheByteLimitWithSuffixAndExtension)
{
    const QString base = QString(120, QChar(0x00e4)); // 240 bytes
    const QStringList files{putFile(dir, base + "1.mp3"), putFile(dir, base + "2.mp3")};
    run(files, QStringLiteral("121-121\"XXXXXXXXXXXXXXXXXXXX\":"));
    const QStringList names = namesIn(dir);
    ASSERT_EQ(names.size(), 2);
    for (const QString &name : names) {
        EXPECT_LE(name.toUtf8().size(), 255) << qPrintable(name);
        EXPECT_TRUE(name.endsWith(".mp3"));
        EXPECT_TRUE(name.startsWith(base));
    }
    EXPECT_TRUE(names[0].endsWith(" (1).mp3") || names[1].endsWith(" (1).mp3"));
}

TEST_F(CleanupRun, PreviewAndBusyChangeNothing)
{
    const QStringList files{putFile(dir, "a_b.mp3")};
    CleanupOutcome outcome = run(files, QStringLiteral("\"_\"\" \":"), true);
    ASSERT_EQ(outcome.files.size(), 1);
    EXPECT_EQ(outcome.files[0].finalPath, dir + "/a b.mp3");
    EXPECT_EQ(namesIn(dir), QStringList{"a_b.mp3"});
    EXPECT_FALSE(cleanupLogExists());
    {
        const RunLock other;
        outcome = run(files, QStringLiteral("\"_\"\" \":"));
        EXPECT_TRUE(outcome.busy);
        EXPECT_TRUE(undoCleanup().busy);
    }
    EXPECT_EQ(namesIn(dir), QStringList{"a_b.mp3"});
}
