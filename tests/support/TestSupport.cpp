#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QJsonDocument>
#include <QProcess>

#include <cerrno>
#include <csignal>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace kaz::test {

TempHome::TempHome()
    : m_oldConfig(qgetenv("XDG_CONFIG_HOME"))
    , m_oldData(qgetenv("XDG_DATA_HOME"))
    , m_oldRuntime(qgetenv("XDG_RUNTIME_DIR"))
{
    QDir(m_dir.path()).mkpath(QStringLiteral("music"));
    for (const auto &[variable, folder] :
         {std::pair{"XDG_CONFIG_HOME", "config"}, {"XDG_DATA_HOME", "data"}, {"XDG_RUNTIME_DIR", "runtime"}}) {
        QDir(m_dir.path()).mkpath(QLatin1String(folder));
        qputenv(variable, QFile::encodeName(m_dir.filePath(QLatin1String(folder))));
    }
}

TempHome::~TempHome()
{
    const auto restore = [](const char *name, const QByteArray &old) {
        if (old.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, old);
    };
    restore("XDG_CONFIG_HOME", m_oldConfig);
    restore("XDG_DATA_HOME", m_oldData);
    restore("XDG_RUNTIME_DIR", m_oldRuntime);
}

Button ScriptedPrompter::ask(MessageKind, ButtonSet buttons, const QString &text)
{
    shown << text;
    return answers.isEmpty() ? firstButton(buttons) : answers.takeFirst();
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeAll(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

QString putFile(const QString &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir + QLatin1Char('/') + name;
    writeAll(path, bytes);
    return path;
}

QString putTagged(const QString &dir, const QString &name, const TagValues &v, int frames)
{
    return putFile(dir, name, mp3WithTag(v, frames));
}

QString putUntagged(const QString &dir, const QString &name)
{
    DemoFile f;
    f.tagged = false;
    return putFile(dir, name, demoFileBytes(f));
}

QStringList namesIn(const QString &dir)
{
    return QDir(dir).entryList(QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

QByteArray contentHash(const QString &path)
{
    return QCryptographicHash::hash(readAll(path), QCryptographicHash::Sha256).toHex();
}

QMap<QString, QByteArray> treeHashes(const QString &dir)
{
    QMap<QString, QByteArray> hashes;
    QDirIterator it(dir, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        hashes.insert(QDir(dir).relativeFilePath(path), contentHash(path));
    }
    return hashes;
}

QMap<QString, QByteArray> hashesByPath(const QString &dir)
{
    QMap<QString, QByteArray> hashes;
    for (auto [relative, hash] : treeHashes(dir).asKeyValueRange())
        hashes.insert(dir + QLatin1Char('/') + relative, hash);
    return hashes;
}

QMap<QString, QByteArray> contentsOf(const QStringList &files)
{
    QMap<QString, QByteArray> contents;
    for (const QString &f : files)
        contents.insert(f, readAll(f));
    return contents;
}

void restoreContents(const QMap<QString, QByteArray> &contents)
{
    for (auto [path, bytes] : contents.asKeyValueRange())
        if (readAll(path) != bytes)
            writeAll(path, bytes);
}

QByteArray mp3WithTag(const TagValues &v, int frames)
{
    DemoFile f;
    f.values = v;
    f.frames = frames;
    return demoFileBytes(f);
}

TagValues values(const QString &title, const QString &artist, const QString &album, const QString &year,
                 const QString &comment, const QString &trackText, quint8 genre)
{
    return TagValues{title, artist, album, year, comment, trackText, genre};
}

CliResult runCli(const QStringList &arguments, const QByteArray &input, int timeoutMs)
{
    QProcess process;
    process.start(QStringLiteral(KAZ_CLI_PATH), arguments);
    CliResult result;
    if (!process.waitForStarted())
        return result;
    if (!input.isEmpty())
        process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished();
        result.err = "timed out";
        return result;
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = process.readAllStandardOutput();
    result.err = process.readAllStandardError();
    return result;
}

::testing::AssertionResult endedWith(const CliResult &result, int exitCode, const QByteArray &said)
{
    if (result.exitCode == exitCode && result.err.contains(said))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "exit code " << result.exitCode << " (expected " << exitCode << "), stderr: "
                                         << result.err.constData() << (said.isEmpty() ? "" : " (expected to say: ")
                                         << said.constData() << (said.isEmpty() ? "" : ")");
}

QList<QJsonObject> jsonLines(const QByteArray &out)
{
    QList<QJsonObject> objects;
    for (const QByteArray &line : out.split('\n')) {
        if (!line.isEmpty())
            objects << QJsonDocument::fromJson(line).object();
    }
    return objects;
}

quint32 testSeed()
{
    bool ok = false;
    const quint32 seed = qEnvironmentVariable("KAZ_TEST_SEED").toUInt(&ok);
    return ok ? seed : quint32(QDateTime::currentMSecsSinceEpoch());
}

} // namespace kaz::test
