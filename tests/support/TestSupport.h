#pragma once

#include "platform/Prompter.h"
#include "tags/DemoCollection.h"

#include <QByteArray>
#include <QJsonObject>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace kaz::test {

// A temporary folder that also serves as XDG home, so that no test touches
// the real configuration or program folder.
class TempHome
{
public:
    TempHome();
    ~TempHome();
    QString path() const { return m_dir.path(); }
    QString file(const QString &relative) const { return m_dir.filePath(relative); }
    // Folder for music below the home.
    QString music() const { return m_dir.filePath(QStringLiteral("music")); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfig, m_oldData, m_oldRuntime;
};

// A test in its own temporary home; dir is the music folder below it.
class HomeTest : public ::testing::Test
{
protected:
    TempHome home;
    const QString dir = home.music();
};

// Answers questions from a script and records every text it was shown.
class ScriptedPrompter : public Prompter
{
public:
    Button ask(MessageKind kind, ButtonSet buttons, const QString &text) override;

    QList<Button> answers; // taken in order; the first button of the set when empty
    QStringList shown;
};

QByteArray readAll(const QString &path);
bool writeAll(const QString &path, const QByteArray &bytes);
// A file of the bytes at dir/name (folders made); returns its path.
QString putFile(const QString &dir, const QString &name, const QByteArray &bytes);
// A tagged MP3 file at dir/name; an untagged one of real frames.
QString putTagged(const QString &dir, const QString &name, const TagValues &v, int frames = 3);
QString putUntagged(const QString &dir, const QString &name);
// The file names directly in a folder, sorted.
QStringList namesIn(const QString &dir);
// SHA-256 of a file's content, hex.
QByteArray contentHash(const QString &path);
// Every file below dir (relative paths, sorted) with its content hash.
QMap<QString, QByteArray> treeHashes(const QString &dir);
// The same by absolute path.
QMap<QString, QByteArray> hashesByPath(const QString &dir);
// The files' contents by path, and putting them back where they changed.
QMap<QString, QByteArray> contentsOf(const QStringList &files);
void restoreContents(const QMap<QString, QByteArray> &contents);

// A tagged MP3 file's bytes with the given values.
QByteArray mp3WithTag(const TagValues &values, int frames = 3);
TagValues values(const QString &title, const QString &artist, const QString &album = {},
                 const QString &year = QStringLiteral("2001"), const QString &comment = {},
                 const QString &trackText = QStringLiteral("0"), quint8 genre = 17);

struct CliResult { int exitCode = -1; QByteArray out; QByteArray err; };
// Runs kaz-cli with the arguments; environment from the current process. A
// run that outlasts the timeout is killed and reported with exit code -1.
CliResult runCli(const QStringList &arguments, const QByteArray &input = {}, int timeoutMs = 120000);
// Whether the run ended with the exit code and, when given, said the text on
// stderr; a failure shows what the run said.
::testing::AssertionResult endedWith(const CliResult &result, int exitCode, const QByteArray &said = {});
// The JSON objects of output that holds one per line.
QList<QJsonObject> jsonLines(const QByteArray &out);

// The seed for a test's random choices: KAZ_TEST_SEED when set (to repeat a
// failed run), else the clock. Tests put it in their failure messages.
quint32 testSeed();

} // namespace kaz::test
