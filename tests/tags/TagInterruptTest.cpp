// A tag write killed at any moment leaves the audio in front of the trailer intact.
#include "support/TestSupport.h"

#include "tags/TagIO.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QThread>

#include <csignal>

using namespace kaz;
using namespace kaz::test;

TEST(TagInterrupt, KilledWritesNeverTouchAudio)
{
    TempHome home;
    QStringList files;
    QMap<QString, QByteArray> audio;
    for (int i = 0; i < 400; ++i) {
        DemoFile f;
        f.relativePath = QStringLiteral("f%1.mp3").arg(i);
        f.frames = 2 + i % 3;
        f.tagged = i % 4 != 0;
        f.values = values(QStringLiteral("A title that is longer than thirty characters %1").arg(i), QStringLiteral("Band"));
        f.extraLyrics3Fields = {QByteArray("LYR00004la\r\n")};
        writeDemoFile(home.music(), f);
        files << home.music() + QLatin1Char('/') + f.relativePath;
        audio.insert(files.last(), mp3Frames(f.frames));
    }
    for (int round = 0; round < 3; ++round) {
        QProcess p;
        p.start(QStringLiteral(KAZ_CLI_PATH),
                QStringList{QStringLiteral("tag"), QStringLiteral("set"), QStringLiteral("--title"),
                            round % 2 ? QStringLiteral("short") : QString(200, QLatin1Char('x'))}
                    + files);
        ASSERT_TRUE(p.waitForStarted());
        QThread::msleep(QRandomGenerator::global()->bounded(5, 40));
        ::kill(pid_t(p.processId()), SIGKILL);
        p.waitForFinished();
        for (const QString &f : files) {
            const QByteArray bytes = readAll(f);
            ASSERT_TRUE(bytes.startsWith(audio[f])) << f.toStdString();
            readTag(f, {}); // and every state it was left in reads without trouble
        }
    }
}
