// What every kaz-cli command holds to: names and tags never raw to a
// terminal, output that could not be written is a failure, exit codes,
// messages on standard error, NUL-separated lists.
#include "support/QtPrinters.h"
#include "support/Terminal.h"
#include "support/TestSupport.h"

#include "rename/PreviewTable.h"
#include "tags/TagIO.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

using namespace kaz;
using namespace kaz::test;

using CliConventions = HomeTest;

namespace {

// A run whose standard output is the file output (/dev/full: every write fails).
CliResult runCliInto(const QString &output, const QStringList &arguments)
{
    QProcess process;
    process.setStandardOutputFile(output);
    process.start(QStringLiteral(KAZ_CLI_PATH), arguments);
    CliResult result;
    if (!process.waitForStarted() || !process.waitForFinished(120000))
        return result;
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.err = process.readAllStandardError();
    return result;
}

} // namespace

TEST_F(CliConventions, NamesAndTagTextsReachATerminalEscapedAndJsonExact)
{
    // C0 (ESC, BEL), DEL and C1 (CSI, U+009B): each could drive the terminal.
    const QString title = QStringLiteral("\x1b]0;owned\x07\x7f");
    const QString name = QStringLiteral("\u009b2J song.mp3");
    QByteArray bytes = mp3WithTag(values("x", "Band", "Album"));
    const QByteArray raw = title.toLatin1();
    bytes.replace(bytes.size() - 128 + 3, raw.size(), raw);
    const QString file = putFile(dir, name, bytes);
    const QString fromName = putFile(dir, QStringLiteral("Title\x1b[2J - Artist.mp3"), mp3Frames(2));
    const QString untagged = putFile(dir, QStringLiteral("\u0085\x1b[1m.mp3"), mp3Frames(2));

    struct Case {
        QStringList arguments;
        QByteArray shown; // what must stand in for the codes
    };
    const QList<Case> cases{
        {{"rename", "--preview", "--lang", "en", file}, "\\x9b2J song.mp3"},
        {{"rename", "--preview", "--lang", "en", dir}, "! \\x85\\x1b[1m.mp3"},
        {{"fromname", "--preview", "--lang", "en", fromName}, "Title\\x1b[2J"},
        {{"name", untagged}, "! \\x85\\x1b[1m.mp3"},
        {{"tag", "show", file}, "\\x9b2J"},
    };
    for (const Case &c : cases) {
        const CliResult r = runCliOnTerminal(c.arguments);
        const QString shown = QString::fromUtf8(r.out);
        EXPECT_EQ(r.exitCode, 0) << c.arguments.join(' ').toStdString() << "\n" << r.out.constData();
        EXPECT_FALSE(r.out.contains('\x1b') || r.out.contains('\x07') || r.out.contains('\x7f')
                     || shown.contains(QChar(0x9b)))
            << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.out.contains(c.shown)) << c.arguments.join(' ').toStdString() << "\n" << r.out.constData();
    }

    // The previews start with their header row; JSON keeps every character.
    const CliResult rename = runCliOnTerminal({"rename", "--preview", "--lang", "en", file});
    const CliResult fromname = runCliOnTerminal({"fromname", "--preview", "--lang", "en", fromName});
    EXPECT_TRUE(fromname.out.startsWith("Status\tFilename\tTrack\tTitle\tArtist")) << fromname.out.constData();
    EXPECT_TRUE(runCli({"fromname", "--preview", "--lang", "de", fromName}).out.startsWith("Status\tDateiname\tLied"));
    EXPECT_TRUE(rename.out.contains(QByteArray(PreviewTable::headers(Language::English).join(QLatin1Char(0x09)).toUtf8() + "\n")))
        << rename.out.constData();
    const QList<QJsonObject> rows = jsonLines(runCli({"rename", "--preview", "--json", file}).out);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0]["currentName"].toString(), name);
    const QList<QJsonObject> cells = jsonLines(runCli({"fromname", "--preview", "--json", fromName}).out);
    ASSERT_EQ(cells.size(), 1);
    EXPECT_TRUE(cells[0]["title"].toString().startsWith("Title\x1b[2J")) << cells[0]["title"].toString().toStdString();
}

TEST_F(CliConventions, OutputThatCannotBeWrittenIsAFailure)
{
    const QString file = putTagged(dir, "a.mp3", values("Song", "Band", "Album"));
    const QList<QStringList> commands{
        {"rename", "--preview", dir},
        {"structure", "build", "--preview", dir},
        {"tag", "show", "--json", file},
        {"tag", "show", file},
        {"name", file},
        {"cleanup", "--preview", "--script", "\"_\"\" \":", file},
        {"config", "show"},
        {"config", "show", "--json"},
        {"fromname", "--preview", file},
        {"--version"},
    };
    for (const QStringList &command : commands) {
        const CliResult full = runCliInto("/dev/full", command + QStringList{"--lang", "en"});
        EXPECT_TRUE(endedWith(full, 1, command.first() == "--version" ? "" : "the output could not be written"))
            << command.join(' ').toStdString();
        EXPECT_TRUE(full.err.startsWith("kaz-cli")) << full.err.constData();
        EXPECT_EQ(runCliInto("/dev/null", command).exitCode, 0) << command.join(' ').toStdString();
    }
    EXPECT_TRUE(QFile::exists(file)) << "previews change nothing";
}

TEST_F(CliConventions, ExitCodesAndMessagesFollowOneRule)
{
    const QString file = putTagged(dir, "a.mp3", values("Song", "Band", "Album"));
    struct Case {
        QStringList arguments;
        int exitCode;
        QByteArray said; // the start of standard error
    };
    const QList<Case> cases{
        // Arguments a command does not take are wrong usage.
        {{"undo", "foo"}, 2, "kaz-cli undo: "},
        {{"player", "status", "foo"}, 2, "kaz-cli player status: "},
        {{"config", "show", "foo"}, 2, "kaz-cli config show: "},
        // A missing folder is a missing file.
        {{"structure", "build", dir + "/gone"}, 1, "kaz-cli structure build: "},
        {{"structure", "break", "--preview", dir + "/gone"}, 1, "kaz-cli structure break: "},
        {{"rename", dir + "/gone.mp3"}, 1, "kaz-cli rename: "},
        {{"tag", "show", dir + "/gone.mp3"}, 1, "kaz-cli tag show: "},
        // Usage errors, Qt's own among them.
        {{"tag", "set", "--year", "12345", file}, 2, "kaz-cli tag set: "},
        {{"rename", "--no-such-option", file}, 2, "kaz-cli rename: "},
        {{"tag", "nonsense"}, 2, "kaz-cli tag: "},
        {{"nonsense"}, 2, "kaz-cli: "},
        {{}, 2, "kaz-cli: "},
    };
    for (const Case &c : cases) {
        const CliResult r = runCli(c.arguments + QStringList{"--lang", "en"});
        EXPECT_TRUE(endedWith(r, c.exitCode)) << c.arguments.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith(c.said)) << c.arguments.join(' ').toStdString() << ": " << r.err.constData();
        EXPECT_TRUE(r.out.isEmpty()) << "usage goes to standard error: " << r.out.constData();
    }
    // In the chosen language, else the stored one (German by default).
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "--year", "12345", file}), 2, "höchstens 4 Zeichen"));
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "--lang", "en", "--year", "12345", file}), 2, "at most 4 characters"));
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "--bogus", "--lang", "en", file}), 2, "kaz-cli tag set: Unknown option"));
    const CliResult usage = runCli({"nonsense"});
    EXPECT_TRUE(usage.err.contains("Usage: kaz-cli COMMAND"));
    const CliResult help = runCli({"--help"});
    EXPECT_TRUE(endedWith(help, 0) && help.out.contains("Usage: kaz-cli COMMAND") && help.err.isEmpty());
    EXPECT_TRUE(runCli({"--version"}).out.contains("GPL-3.0-or-later"));
}

TEST_F(CliConventions, NulSeparatedListsAreReadWithNullAndRefusedWithout)
{
    const QString a = putTagged(dir, "a.mp3", values("A", "Band", "Album"));
    const QString b = putTagged(dir, QStringLiteral("b\nwith a line break.mp3"), values("B", "Band", "Album"));
    const QString list = home.file("list");
    writeAll(list, QFile::encodeName(a) + '\0' + QFile::encodeName(b) + '\0');
    const QMap<QString, QByteArray> before = hashesByPath(dir);

    // Read as lines, the list is one line holding NUL bytes: refused, nothing written.
    const CliResult refused = runCli({"tag", "set", "--lang", "en", "--files-from", list, "--comment", "x"});
    EXPECT_TRUE(endedWith(refused, 1, "NUL byte")) << refused.out.constData();
    EXPECT_EQ(hashesByPath(dir), before);
    // A NUL list read from standard input, -0 as xargs spells it.
    EXPECT_TRUE(endedWith(runCli({"tag", "set", "-0", "--files-from", "-", "--comment", "x"}, readAll(list)), 0));
    for (const QString &f : {a, b})
        EXPECT_EQ(readTag(f, {}).comment, "x") << f.toStdString();

    // Every command that reads a list reads it so.
    const QList<QStringList> readers{
        {"tag", "show", "--json"},
        {"tag", "from-v2", "--json"},
        {"fromname", "--preview", "--json"},
    };
    for (const QStringList &command : readers) {
        const CliResult r = runCli(command + QStringList{"--null", "--files-from", list});
        EXPECT_EQ(r.exitCode, 0) << command.join(' ').toStdString() << r.err.constData();
        EXPECT_EQ(jsonLines(r.out).size(), 2) << command.join(' ').toStdString() << r.out.constData();
        EXPECT_EQ(runCli(command + QStringList{"--files-from", list}).exitCode, 1) << command.join(' ').toStdString();
    }
    EXPECT_EQ(runCli({"tag", "show", "--null", a}).exitCode, 2) << "--null goes with a list";
}

TEST_F(CliConventions, CtrlCSaysHowManyFilesWereHandledAndHowToTakeThemBack)
{
    for (int i = 0; i < 10; ++i)
        putTagged(dir, QStringLiteral("%1.mp3").arg(i), values(QStringLiteral("Song %1").arg(i), "Band"));
    const QMap<QString, QByteArray> before = treeHashes(dir);
    // Ctrl+C as the fourth file is renamed, on a terminal where the progress bar stands.
    qputenv("KAZ_FAULT_AT", "rename:4");
    qputenv("KAZ_FAULT_SIGNAL", "INT");
    const CliResult r = runCliOnTerminal({"rename", "--lang", "en", "--fields", "artist,title", dir});
    qunsetenv("KAZ_FAULT_AT");
    qunsetenv("KAZ_FAULT_SIGNAL");
    EXPECT_EQ(r.exitCode, -1) << "ended by the signal";
    // The count is the progress bar's, whose line ends first.
    const QRegularExpression said(R"(\((\d+)/10\)\nkaz-cli rename: interrupted after (\d+) of 10 files; 'kaz-cli undo' )"
                                  R"(gives them their old names back\.\n$)");
    const QRegularExpressionMatch match = said.match(QString::fromUtf8(r.out));
    EXPECT_TRUE(match.hasMatch() && match.captured(1) == match.captured(2)) << r.out.constData();
    EXPECT_NE(treeHashes(dir), before);
    EXPECT_TRUE(endedWith(runCli({"undo", "--yes"}), 0));
    EXPECT_EQ(treeHashes(dir), before);
}
