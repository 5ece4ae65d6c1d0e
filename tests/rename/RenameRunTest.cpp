#include "RenameFixtures.h"

#include "platform/WorkFiles.h"
#include "rename/PreviewTable.h"
#include "rename/WorkListReader.h"

#include <QDir>
#include <QFile>

#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

// A test in a temporary home with a run that answers from a script.
class RenameRun : public HomeTest
{
protected:
    RunFixture fixture;
};

namespace {

mode_t modeOf(const QString &path)
{
    struct stat st {};
    ::stat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 07777;
}

QStringList logLines(const char *log)
{
    return WorkListReader::readAll(workFilePath(log));
}

} // namespace

TEST_F(RenameRun, NoFileIsEverReplaced)
{
    const QString a = putTagged(dir, "a.mp3", values("Waterloo", "Abba"));
    const QString b = putTagged(dir, "b.mp3", values("Waterloo", "Abba", {}, "1975"));
    const QByteArray aHash = contentHash(a), bHash = contentHash(b);
    // Outside the run, holding the name the third file composes to.
    const QString outside = putTagged(dir, "Abba - SOS.mp3", values("other", "x"));
    const QString c = putTagged(dir, "c.mp3", values("SOS", "Abba"));
    // Already named as its tag says.
    const QString d = putTagged(dir, "Abba - Ring Ring.mp3", values("Ring Ring", "Abba"));
    const QByteArray outsideHash = contentHash(outside);
    const QList<QByteArray> before = hashesOnly(dir);
    ::chmod(QFile::encodeName(a).constData(), 0444); // renamed all the same, made writable for its owner

    // Given twice, under two spellings: taken once.
    const RenameOutcome outcome = fixture.run(artistTitle(), dir + '/', {a, b, c, d, a, dir + "/./b.mp3"});

    EXPECT_EQ(namesIn(dir), QStringList({"Abba - Ring Ring.mp3", "Abba - SOS (2).mp3", "Abba - SOS.mp3",
                                         "Abba - Waterloo (2).mp3", "Abba - Waterloo.mp3"}));
    EXPECT_EQ(hashesOnly(dir), before);
    EXPECT_EQ(contentHash(outside), outsideHash);
    EXPECT_EQ(contentHash(dir + "/Abba - Waterloo.mp3"), aHash);
    EXPECT_EQ(modeOf(dir + "/Abba - Waterloo.mp3"), mode_t(0644));
    EXPECT_EQ(contentHash(dir + "/Abba - Waterloo (2).mp3"), bHash);
    EXPECT_EQ(QList<qint64>({outcome.files, outcome.renamed, outcome.unchanged}), QList<qint64>({4, 3, 1}));
    EXPECT_EQ(logLines(workfile::UndoOld), QStringList({a, b, c}));
    EXPECT_EQ(logLines(workfile::UndoNew).size(), 3);
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::FileList)));
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::FolderList)));
}

TEST_F(RenameRun, IncompleteTagsAreMarkedOnce)
{
    const QString marked = putTagged(dir, "! Song.mp3", values("Song", ""));
    const QString other = putTagged(dir, "Song.mp3", values("Song", ""));
    const QString untagged = putUntagged(dir, "raw.MP3");
    const QString shortFile = putFile(dir, "tiny.mp3", QByteArray(100, 'x'));

    const RenameOutcome outcome = fixture.run(artistTitle(), dir + '/', {marked, other, untagged, shortFile});

    EXPECT_EQ(namesIn(dir), QStringList({"! Song (2).mp3", "! Song.mp3", "! raw.MP3", "! tiny.mp3"}));
    EXPECT_EQ(outcome.notRenamed, 4);
    ASSERT_FALSE(fixture.prompter.shown.isEmpty());
    EXPECT_TRUE(fixture.prompter.shown.first().startsWith("Following file is to short."));
    EXPECT_TRUE(fixture.prompter.shown.last().startsWith("4 files are not renamed !"));
}

TEST_F(RenameRun, TreeRunsTakeEveryMp3FileButTinyOnes)
{
    putTagged(dir + "/A", "x.mp3", values("One", "Abba"));
    putTagged(dir + "/A/B", "y.Mp3", values("Two", "Abba"));
    writeAll(dir + "/A/tiny.mp3", QByteArray(100, 'x'));
    writeAll(dir + "/A/notes.txt", mp3WithTag(values("Three", "Abba")));
    QFile::link(dir, dir + "/A/loop"); // a link back up must not send the walk round in circles
    RenameSettings s = artistTitle();
    s.includeSubdirectories = true;

    fixture.run(s, dir + '/', {});
    EXPECT_EQ(namesIn(dir + "/A"), QStringList({"Abba - One.mp3", "notes.txt", "tiny.mp3"}));
    EXPECT_EQ(namesIn(dir + "/A/B"), QStringList({"Abba - Two.mp3"}));
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::FolderLevel)));

    // With a selection only the selected files are renamed.
    const QString p = putTagged(dir, "p.mp3", values("Four", "Abba"));
    putTagged(dir, "q.mp3", values("Five", "Abba"));
    fixture.run(s, dir + '/', {p});
    EXPECT_EQ(namesIn(dir), QStringList({"Abba - Four.mp3", "q.mp3"}));
}

TEST_F(RenameRun, UserDefinedNamesSkipNamesTakenOutsideTheRun)
{
    const QString x = putTagged(dir, "x.mp3", values("1", "a"));
    const QString y = putTagged(dir, "y.mp3", values("2", "a"));
    const QString z = putTagged(dir, "01 - Mix.mp3", values("3", "a")); // its own name is in the way of nobody
    putTagged(dir, "02 - Mix.mp3", values("outside", "a"));
    const QByteArray xHash = contentHash(x), yHash = contentHash(y), zHash = contentHash(z);
    RenameSettings s;
    s.userDefined = true;
    s.userText = "Mix";
    s.keepNumbers = false;
    ::chmod(QFile::encodeName(x).constData(), 0444); // renamed all the same, made writable for its owner

    fixture.run(s, dir + '/', {x, y, z});
    EXPECT_EQ(namesIn(dir), QStringList({"01 - Mix.mp3", "02 - Mix.mp3", "03 - Mix.mp3", "04 - Mix.mp3"}));
    EXPECT_EQ(contentHash(dir + "/01 - Mix.mp3"), xHash);
    EXPECT_EQ(modeOf(dir + "/01 - Mix.mp3"), mode_t(0644));
    EXPECT_EQ(contentHash(dir + "/03 - Mix.mp3"), yHash);
    EXPECT_EQ(contentHash(dir + "/04 - Mix.mp3"), zHash);

    // Keep numbers on: the bare text with suffixes.
    s.keepNumbers = true;
    const QStringList files{dir + "/01 - Mix.mp3", dir + "/03 - Mix.mp3"};
    fixture.run(s, dir + '/', files);
    EXPECT_EQ(namesIn(dir), QStringList({"02 - Mix.mp3", "04 - Mix.mp3", "Mix (2).mp3", "Mix.mp3"}));

    // No text at all: the counter names the files; nothing becomes a hidden ".mp3".
    s.userText.clear();
    fixture.run(s, dir + '/', {dir + "/Mix.mp3", dir + "/Mix (2).mp3"});
    QStringList all = QDir(dir).entryList(QDir::Files | QDir::Hidden);
    all.sort();
    EXPECT_EQ(all, QStringList({"01.mp3", "02 - Mix.mp3", "02.mp3", "04 - Mix.mp3"}));
}

TEST_F(RenameRun, PreviewChangesNothingAndFillsTheTable)
{
    const QString a = putTagged(dir, "a.mp3", values("Waterloo", "Abba", "Arrival"));
    const QString b = putTagged(dir, "b.mp3", values("", "Abba"));
    const QString c = putUntagged(dir, "c.mp3");
    const auto before = treeHashes(dir);
    RenameSettings s; // artist, album, title

    RenameOutcome outcome = fixture.run(s, dir + '/', {a, b, c}, true);
    EXPECT_EQ(treeHashes(dir), before);
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::UndoNew)));
    ASSERT_EQ(outcome.preview.rows().size(), 3);
    const auto &rows = outcome.preview.rows();
    EXPECT_EQ(QStringList({rows[0].previewedName, rows[1].info, rows[1].previewedName, rows[2].info}),
              QStringList({"Abba - Arrival - Waterloo.mp3", "2 NoAlbum - NoTitle", "! b.mp3", "NoID3Tag"}));
    EXPECT_EQ(outcome.missingFields, 1);
    EXPECT_EQ(outcome.notRenamed, 2);
    // The file list stays for the preview dialog.
    EXPECT_EQ(WorkListReader::readAll(workFilePath(workfile::FileList)), QStringList({a, b, c}));
}

TEST_F(RenameRun, ExcludedPreviewRowsAreLeftAlone)
{
    const QString a = putTagged(dir, "a.mp3", values("One", "Abba"));
    const QString b = putTagged(dir, "b.mp3", values("Two", "Abba"));
    const QString c = putTagged(dir, "c.mp3", values("", "Abba"));
    RenameSettings s = artistTitle();
    s.userDefined = true; // the temporary names must not catch the excluded file
    s.userText = "Mix";
    s.keepNumbers = false;

    RenameOutcome preview = fixture.run(s, dir + '/', {a, b, c}, true);
    preview.preview.toggleExcluded(1, Language::English);
    preview.preview.toggleExcluded(2, Language::German); // "! ausgeschlossen": left out as well
    EXPECT_EQ(preview.preview.writeFilteredList(), 1);
    fixture.run(s, dir + '/', {a, b, c}, false, true);
    EXPECT_EQ(namesIn(dir), QStringList({"01 - Mix.mp3", "b.mp3", "c.mp3"}));
    EXPECT_FALSE(QFile::exists(workFilePath(workfile::PreviewFileList)));
}

TEST_F(RenameRun, PathsWithLineBreaksAreLeftAloneAndReported)
{
    const QString odd = putTagged(dir, "odd\nname.mp3", values("Odd", "Abba"));
    const QString fine = putTagged(dir, "fine.mp3", values("Fine", "Abba"));
    putTagged(dir + "/sub\rfolder", "deep.mp3", values("Deep", "Abba"));
    // A tag with a line break gives a name without one.
    const QString breaking = putTagged(dir, "breaking.mp3", values("Line\nBreak", "Abba"));

    RenameOutcome outcome = fixture.run(artistTitle(), dir + '/', {odd, fine, breaking});
    EXPECT_EQ(outcome.lineBreakPaths, QStringList({odd}));
    EXPECT_TRUE(QFile::exists(odd));
    EXPECT_TRUE(QFile::exists(dir + "/Abba - Fine.mp3"));
    EXPECT_TRUE(QFile::exists(dir + "/Abba - Line Break.mp3"));
    EXPECT_EQ(logLines(workfile::UndoOld), QStringList({fine, breaking}));

    RenameSettings tree = artistTitle();
    tree.includeSubdirectories = true;
    outcome = fixture.run(tree, dir + '/', {});
    ASSERT_EQ(outcome.lineBreakPaths.size(), 2);
    EXPECT_TRUE(QFile::exists(dir + "/sub\rfolder/deep.mp3"));
    EXPECT_TRUE(QFile::exists(odd));
    const QStringList newPaths = logLines(workfile::UndoNew);
    EXPECT_EQ(newPaths.size(), logLines(workfile::UndoOld).size());
    for (const QString &line : newPaths)
        EXPECT_TRUE(QFile::exists(line)) << qPrintable(line);
}

// The run's own files: when the preview's list or the undo logs cannot be
// written, the run renames nothing, says which file and why, and the last
// run's logs stay as they were.
TEST_F(RenameRun, WorkFilesThatCannotBeWrittenStopTheRunBeforeAnyRename)
{
    const QString a = putTagged(dir, "a.mp3", values("One", "Abba"));
    const QString b = putTagged(dir, "b.mp3", values("Two", "Abba"));
    RenameOutcome preview = fixture.run(artistTitle(), dir + '/', {a, b}, true);
    preview.preview.toggleExcluded(0, Language::English);
    const QString filtered = workFilePath(workfile::PreviewFileList);
    ASSERT_TRUE(QDir().mkpath(filtered + "/in the way"));
    QString problem;
    EXPECT_EQ(preview.preview.writeFilteredList(&problem), -1);
    EXPECT_TRUE(problem.startsWith(filtered + ": ")) << problem.toStdString();
    QDir(filtered).removeRecursively();
    RenameOutcome outcome = fixture.run(artistTitle(), dir + '/', {a, b}, false, true);
    EXPECT_EQ(outcome.renamed, 0); // not the excluded file with the rest
    EXPECT_TRUE(outcome.workListFailed);
    EXPECT_EQ(namesIn(dir), QStringList({"a.mp3", "b.mp3"}));

    const QByteArray lastOld = "/m/old.mp3\r\n", lastNew = "/m/new.mp3\r\n";
    writeAll(workFilePath(workfile::UndoOld), lastOld);
    writeAll(workFilePath(workfile::UndoNew), lastNew);
    ASSERT_TRUE(QDir().mkpath(workFilePath(workfile::UndoOldSetAside) + "/in the way"));
    outcome = fixture.run(artistTitle(), dir + '/', {a, b});
    EXPECT_EQ(outcome.renamed, 0);
    ASSERT_EQ(outcome.failures.size(), 2);
    EXPECT_TRUE(outcome.failures[0].contains(workFilePath(workfile::UndoOldSetAside) + ": ")) << outcome.failures[0].toStdString();
    EXPECT_EQ(namesIn(dir), QStringList({"a.mp3", "b.mp3"}));
    EXPECT_EQ(readAll(workFilePath(workfile::UndoOld)), lastOld);
    EXPECT_EQ(readAll(workFilePath(workfile::UndoNew)), lastNew);
}

namespace {

PreviewRow row(const QString &path, const QString &previewed)
{
    return PreviewRow{{}, {}, path.mid(path.lastIndexOf('/') + 1), previewed, path};
}

} // namespace

TEST(PreviewTable, SortedByPathAndDuplicatesNumberedPerFolder)
{
    PreviewTable table;
    for (const char *path : {"/m/b.mp3", "/m/c.mp3", "/m/B.mp3", "/m/a.mp3", "/m/sub/a.mp3"})
        table.append(row(path, qstrcmp(path, "/m/B.mp3") == 0 ? "! B.mp3" : "Abba - SOS.mp3"));
    table.sortByPath();
    table.numberDuplicates();
    table.markRows();
    QStringList paths, names, statuses;
    for (const PreviewRow &r : table.rows()) {
        paths << r.path;
        names << r.previewedName;
        statuses << r.status;
    }
    EXPECT_EQ(paths, QStringList({"/m/B.mp3", "/m/a.mp3", "/m/b.mp3", "/m/c.mp3", "/m/sub/a.mp3"}));
    EXPECT_EQ(names, QStringList({"! B.mp3", "Abba - SOS.mp3", "Abba - SOS (2).mp3", "Abba - SOS (3).mp3",
                                  "Abba - SOS.mp3"}));
    EXPECT_EQ(statuses, QStringList({"   !", "", "", "", ""}));
}

TEST(PreviewTable, ExcludingTwiceRestoresTheStatus)
{
    PreviewTable table;
    table.append(row("/m/a.mp3", "x.mp3"));
    table.append(row("/m/b.mp3", "! b.mp3"));
    table.markRows();
    const std::pair<Language, const char *> languages[] = {{Language::English, "excluded"},
                                                           {Language::German, "ausgeschlossen"}};
    for (const auto &[language, excluded] : languages) {
        table.toggleExcluded(0, language);
        table.toggleExcluded(1, language);
        EXPECT_EQ(table.rows()[0].status, QString::fromUtf8(excluded));
        EXPECT_EQ(table.rows()[1].status, "! " + QString::fromUtf8(excluded));
        EXPECT_TRUE(table.isExcluded(0)); // left out of the run as well
        EXPECT_TRUE(table.isExcluded(1));
        table.toggleExcluded(0, language);
        table.toggleExcluded(1, language);
        EXPECT_EQ(table.rows()[0].status, "");
        EXPECT_EQ(table.rows()[1].status, "   !");
    }
    // Excluded in one language, included again in the other.
    table.toggleExcluded(0, Language::German);
    table.toggleExcluded(0, Language::English);
    EXPECT_EQ(table.rows()[0].status, "");
}
