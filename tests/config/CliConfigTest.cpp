#include "config/ConfigFile.h"

#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

using CliConfig = HomeTest;

TEST_F(CliConfig, ShowWritesTheMissingFileAndPrintsTheSettings)
{
    CliResult r = runCli({"config", "show", "--json", "--lang", "en"});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(json.value("file").toString(), iniPath());
    const QJsonObject settings = json.value("settings").toObject();
    EXPECT_EQ(settings.value("VariousDir").toString(), "Various");
    EXPECT_EQ(settings.value("clean1").toBool(), true);
    EXPECT_EQ(readAll(iniPath()).count("\r\n"), 51);

    r = runCli({"config", "show"});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith(QByteArray("file: " + iniPath().toUtf8() + "\n")));
    EXPECT_TRUE(r.out.contains("\nDelimiter= - \n"));
}

// Which values are taken is the settings file's rule; here the exit codes
// and that a refused value changes nothing.
TEST_F(CliConfig, SetChangesOneLineAndRefusesWhatItCannotUse)
{
    ASSERT_TRUE(createDefaultIni(iniPath(), {}));
    const QStringList before = IniDocument::read(iniPath()).lines();
    for (const QStringList &refused : {QStringList{"searchSampler", "false"}, QStringList{"search2", "no"},
                                       QStringList{"LastDir", home.file("gone")}})
        EXPECT_EQ(runCli(QStringList{"config", "set"} + refused).exitCode, 2) << refused.join(' ').toStdString();
    EXPECT_EQ(IniDocument::read(iniPath()).lines(), before);

    // Keys in any case; that one line alone changes is the settings file's to test.
    EXPECT_EQ(runCli({"config", "set", "search2", "false"}).out, QByteArray("search2=false\n"));
    ASSERT_TRUE(endedWith(runCli({"config", "set", "lastdir", home.music()}), 0));
    const QStringList after = IniDocument::read(iniPath()).lines();
    EXPECT_TRUE(after.contains("search2=false"));
    EXPECT_EQ(after.at(12), "LastDir=" + home.music());

    // Values may start with a dash.
    EXPECT_TRUE(endedWith(runCli({"config", "set", "LastPosition_x", "-20"}), 0));
    EXPECT_TRUE(endedWith(runCli({"config", "set", "--lang", "en", "LastPosition_y", "--", "-7"}), 0));
    const QStringList lines = IniDocument::read(iniPath()).lines();
    EXPECT_TRUE(lines.contains("LastPosition_x=-20"));
    EXPECT_TRUE(lines.contains("LastPosition_y=-7"));
    const CliResult r = runCli({"config", "set", "Fontsize", "-1"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.contains("Unknown option")) << r.err.constData();
}

TEST_F(CliConfig, AFifoAHugeFileOrAFolderInPlaceOfKazIniIsNeitherWaitedForNorReplaced)
{
    QDir().mkpath(QFileInfo(iniPath()).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(iniPath()).constData(), 0644), 0);
    // A run that waited on the FIFO would be cut off with -1.
    EXPECT_TRUE(endedWith(runCli({"config", "show"}), 0, "not a regular file"));

    QFile::remove(iniPath());
    QFile huge(iniPath());
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.resize(3LL * 1024 * 1024 * 1024); // sparse: takes no room
    huge.close();
    EXPECT_TRUE(endedWith(runCli({"config", "show"}), 0, "far more than"));

    // A settings file that cannot be written is never passed over in silence:
    // the command fails and names the file with the system's error.
    QFile::remove(iniPath());
    ASSERT_TRUE(QDir().mkpath(iniPath() + "/in the way"));
    const CliResult r = runCli({"config", "set", "--lang", "en", "clean1", "false"});
    EXPECT_TRUE(endedWith(r, 1, QString("kaz-cli config set: cannot write " + iniPath() + ": ").toUtf8()));
    const QString err = QString::fromUtf8(r.err);
    EXPECT_FALSE(err.section(iniPath() + ": ", 1).trimmed().isEmpty()) << "the system's error is missing";

    QString problem;
    EXPECT_FALSE(patchWinampPath(iniPath(), "/usr/bin/player", &problem));
    EXPECT_TRUE(problem.startsWith(iniPath() + ": ")) << problem.toStdString();
    EXPECT_TRUE(QFileInfo(iniPath() + "/in the way").isDir()); // nothing replaced
}
