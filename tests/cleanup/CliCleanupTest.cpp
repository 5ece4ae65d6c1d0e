// kaz-cli cleanup end to end: output, options from KAZ.INI, the questions
// without a terminal, saved rules. Undo from another process: CleanupUndo.
#include "CleanupFixtures.h"

#include "cleanup/SavedRules.h"
#include "config/ConfigFile.h"
#include "platform/Messages.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>
#include <unistd.h>

using namespace kaz;
using namespace kaz::test;

using CliCleanup = HomeTest;

TEST_F(CliCleanup, RunOutputAndOptions)
{
    putFile(dir, "peter_and_paul.mp3");
    putFile(dir, "x_y.wav");
    putFile(dir, "Peter and paul.mp3");

    // Without a terminal the question takes "Yes": only MP3 files, said on stderr.
    CliResult r = runCli({"cleanup", "--lang", "en", "--script", "\"_\"\" \":", dir + "/peter_and_paul.mp3",
                          dir + "/x_y.wav"});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out, "peter_and_paul.mp3\tPeter and paul (1).mp3\n");
    EXPECT_TRUE(r.err.contains("1 file is not a mp3-file!")) << r.err.constData();
    EXPECT_EQ(namesIn(dir), (QStringList{"Peter and paul (1).mp3", "Peter and paul.mp3", "x_y.wav"}));
    const auto before = treeHashes(dir);

    // Options stored in KAZ.INI apply; options given win.
    ASSERT_EQ(setIniValue(iniPath(), "clean1", "false"), SetResult::Done);
    r = runCli({"cleanup", "--json", "--preview", "--non-mp3", "include", "--script", "\"_\"\"-\":", dir + "/.//x_y.wav"});
    const QJsonObject row = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(QStringList({row.value("file").toString(), row.value("old").toString(), row.value("new").toString()}),
              QStringList({dir + "/x_y.wav", "x_y.wav", "x-y.wav"}));
    // A folder among the files is left out; the names after it keep their order.
    r = runCli({"cleanup", "--preview", "--non-mp3", "include", "--script", "\"_\"\"-\":", dir, dir + "/./x_y.wav",
                dir + "/Peter and paul.mp3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "x_y.wav\tx-y.wav\nPeter and paul.mp3\tPeter and paul.mp3\n");
    EXPECT_TRUE(r.err.contains("a folder, not a file")) << r.err.constData();
    // Links (to a file or a folder) and a FIFO are left alone, and said so.
    ASSERT_EQ(::symlink("Peter and paul.mp3", QFile::encodeName(dir + "/link_a.mp3").constData()), 0);
    ASSERT_EQ(::symlink("/tmp", QFile::encodeName(dir + "/link_b.mp3").constData()), 0);
    ASSERT_EQ(::mkfifo(QFile::encodeName(dir + "/fifo_c.mp3").constData(), 0644), 0);
    r = runCli({"cleanup", "--script", "\"_\"\"-\":", dir + "/link_a.mp3", dir + "/link_b.mp3", dir + "/fifo_c.mp3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.count("not a regular file; left alone"), 3) << r.err.constData();
    for (const char *name : {"/link_a.mp3", "/link_b.mp3", "/fifo_c.mp3"}) {
        struct stat st {};
        EXPECT_EQ(::lstat(QFile::encodeName(dir + name).constData(), &st), 0) << name;
        QFile::remove(dir + name);
    }
    EXPECT_EQ(namesIn(dir), (QStringList{"Peter and paul (1).mp3", "Peter and paul.mp3", "x_y.wav"}));
    r = runCli({"cleanup", "--preview", "--non-mp3", "include", "--capitalize", "--from-position", "3", "--script", "\"_\"\"-\":",
                dir + "/x_y.wav"});
    EXPECT_EQ(r.out, "x_y.wav\tX_y.wav\n");
    EXPECT_EQ(treeHashes(dir), before);

    // Wrong usage.
    for (const QStringList &args : {QStringList{"cleanup"}, QStringList{"cleanup", "--non-mp3", "maybe", "x"}})
        EXPECT_EQ(runCli(args).exitCode, 2) << qPrintable(args.join(' '));
}

TEST_F(CliCleanup, EmptyNameMessageAndFilesThatKeepTheirNames)
{
    putFile(dir, "abc.mp3");
    putFile(dir, "a_b.mp3");
    putFile(dir, ".mp3");
    const CliResult r = runCli({"cleanup", "--lang", "de", "--no-capitalize", "--script", "\"_\"\"\":abc:",
                                dir + "/abc.mp3", dir + "/a_b.mp3", dir + "/.mp3", dir + "/missing_x.mp3"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains(message(Msg::WholeNameRemoved, Language::German).toUtf8())) << r.err.constData();
    EXPECT_TRUE(r.err.contains("2 Dateien behielten ihre Namen")) << r.err.constData();
    EXPECT_TRUE(r.out.contains("a_b.mp3\tab.mp3\n")) << r.out.constData();
    EXPECT_EQ(namesIn(dir), (QStringList{".mp3", "ab.mp3", "abc.mp3"}));
}

TEST_F(CliCleanup, SavedRules)
{
    putFile(dir, "a_b-c.mp3");
    EXPECT_EQ(runCli({"cleanup", "rules", "save", "--name", "Underscores", "\"_\"\" \":"}).exitCode, 0);
    EXPECT_EQ(runCli({"cleanup", "rules", "save", "\"x\"\"\":\"-\"\"+\":", "--last"}).exitCode, 0);
    EXPECT_EQ(runCli({"cleanup", "rules", "list"}).out, "Underscores\t\"_\"\" \":\n\"-\"\"+\":\t\"-\"\"+\":\n");
    const QJsonObject first = QJsonDocument::fromJson(runCli({"cleanup", "rules", "list", "--json"}).out.split('\n')[0]).object();
    EXPECT_EQ(first.value("name").toString(), "Underscores");

    // --rule appends the saved script, once.
    CliResult r = runCli({"cleanup", "--preview", "--rule", "Underscores", "--script", "\"_\"\" \":", dir + "/a_b-c.mp3"});
    EXPECT_EQ(r.out, "a_b-c.mp3\tA b-c.mp3\n");
    r = runCli({"cleanup", "--preview", "--rule", "\"-\"\"+\":", "--script", "\"_\"\"\"", dir + "/a_b-c.mp3"});
    EXPECT_EQ(r.out, "a_b-c.mp3\tAb+c.mp3\n");
    EXPECT_EQ(runCli({"cleanup", "--rule", "Nope", dir + "/a_b-c.mp3"}).exitCode, 1);

    // Delete asks; without a terminal or --yes nothing changes.
    EXPECT_TRUE(endedWith(runCli({"cleanup", "rules", "delete", "Underscores", "--lang", "en"}), 1, "--yes"));
    EXPECT_EQ(loadSavedRules().size(), 2);
    EXPECT_EQ(runCli({"cleanup", "rules", "delete", "Underscores", "--yes"}).exitCode, 0);
    EXPECT_EQ(loadSavedRules(), (QList<SavedRule>{{"", "\"-\"\"+\":"}}));
}
