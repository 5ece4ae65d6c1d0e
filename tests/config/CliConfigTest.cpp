#include "config/ConfigFile.h"

#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <sys/stat.h>

using namespace kaz;
using namespace kaz::test;

TEST(CliConfig, ShowWritesTheMissingFileAndPrintsTheSettings)
{
    TempHome home;
    CliResult r = runCli({QStringLiteral("config"), QStringLiteral("show"), QStringLiteral("--json"),
                          QStringLiteral("--lang"), QStringLiteral("en")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QJsonObject json = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(json.value(QStringLiteral("file")).toString(), iniPath());
    const QJsonObject settings = json.value(QStringLiteral("settings")).toObject();
    EXPECT_EQ(settings.value(QStringLiteral("VariousDir")).toString(), QStringLiteral("Various"));
    EXPECT_EQ(settings.value(QStringLiteral("CDR")).toInt(), 650);
    EXPECT_EQ(settings.value(QStringLiteral("clean1")).toBool(), true);
    EXPECT_EQ(readAll(iniPath()).count("\r\n"), 51);

    r = runCli({QStringLiteral("config"), QStringLiteral("show")});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_TRUE(r.out.startsWith(QByteArray("file: " + iniPath().toUtf8() + "\n")));
    EXPECT_TRUE(r.out.contains("\nDelimiter= - \n"));
}

TEST(CliConfig, SetChangesOneLineAndRefusesWhatItCannotUse)
{
    TempHome home;
    ASSERT_TRUE(createDefaultIni(iniPath(), {}));
    ASSERT_TRUE(patchUserSections(iniPath(), {QStringLiteral("/fav")}, {}));
    const QStringList before = IniDocument::read(iniPath()).lines();

    CliResult r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("searchSampler"),
                          QStringLiteral("false")});
    EXPECT_EQ(r.exitCode, 2);
    r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("search2"), QStringLiteral("no")});
    EXPECT_EQ(r.exitCode, 2);
    r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("LastDir"), home.file(QStringLiteral("gone"))});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(IniDocument::read(iniPath()).lines(), before);

    r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("search2"), QStringLiteral("false")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out, QByteArray("search2=false\n"));
    r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("lastdir"), home.music()});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();

    QStringList expected = before;
    expected.replace(expected.indexOf(QStringLiteral("search2=true")), QStringLiteral("search2=false"));
    expected.replace(12, QStringLiteral("LastDir=") + home.music());
    EXPECT_EQ(IniDocument::read(iniPath()).lines(), expected);
}

TEST(CliConfig, ValuesMayStartWithADash)
{
    TempHome home;
    CliResult r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("LastPosition_x"),
                          QStringLiteral("-20")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(IniDocument::read(iniPath()).lines().contains(QStringLiteral("LastPosition_x=-20")));
    r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("--lang"), QStringLiteral("en"),
                QStringLiteral("LastPosition_y"), QStringLiteral("--"), QStringLiteral("-7")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(IniDocument::read(iniPath()).lines().contains(QStringLiteral("LastPosition_y=-7")));
    r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("Fontsize"), QStringLiteral("-1")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.contains("Unknown option")) << r.err.constData();
}

TEST(CliConfig, AFifoOrAHugeFileInPlaceOfKazIniIsRefusedNotWaitedFor)
{
    TempHome home;
    QDir().mkpath(QFileInfo(iniPath()).absolutePath());
    ASSERT_EQ(::mkfifo(QFile::encodeName(iniPath()).constData(), 0644), 0);
    QElapsedTimer timer;
    timer.start();
    CliResult r = runCli({QStringLiteral("config"), QStringLiteral("show")});
    EXPECT_LT(timer.elapsed(), 20000);
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.err.contains("not a regular file")) << r.err.constData();

    QFile::remove(iniPath());
    QFile huge(iniPath());
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    huge.resize(3LL * 1024 * 1024 * 1024); // sparse: takes no room
    huge.close();
    r = runCli({QStringLiteral("config"), QStringLiteral("show")});
    EXPECT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_TRUE(r.err.contains("far more than")) << r.err.constData();
}

// A settings file that cannot be written is never passed over in silence:
// the command fails and names the file with the system's error.
TEST(CliConfig, AFailedWriteNamesTheFileAndTheError)
{
    TempHome home;
    ASSERT_TRUE(QDir().mkpath(iniPath() + "/in the way"));
    const CliResult r = runCli({QStringLiteral("config"), QStringLiteral("set"), QStringLiteral("clean1"), QStringLiteral("false")});
    EXPECT_EQ(r.exitCode, 1);
    const QString err = QString::fromUtf8(r.err);
    EXPECT_TRUE(err.contains("kaz-cli: cannot write " + iniPath() + ": ")) << r.err.constData();
    EXPECT_FALSE(err.section(iniPath() + ": ", 1).trimmed().isEmpty()) << "the system's error is missing";

    QString problem;
    EXPECT_FALSE(patchWinampPath(iniPath(), QStringLiteral("/usr/bin/player"), &problem));
    EXPECT_TRUE(problem.startsWith(iniPath() + ": ")) << problem.toStdString();
    EXPECT_TRUE(QFileInfo(iniPath() + "/in the way").isDir()); // nothing replaced
}
