#include "FreshChild.h"

#include <QCoreApplication>
#include <QHash>
#include <QProcess>
#include <QProcessEnvironment>

namespace kaz::test {

namespace {

const QString kChildOption = QStringLiteral("--kaz-fresh-child");

QHash<QString, FreshChildWork> &entries()
{
    static QHash<QString, FreshChildWork> registered;
    return registered;
}

} // namespace

FreshChildEntry::FreshChildEntry(const char *name, FreshChildWork work)
{
    entries().insert(QString::fromLatin1(name), std::move(work));
}

FreshChildEnd runFreshChild(const char *name, const QStringList &arguments, const QList<QByteArray> &environment)
{
    QProcessEnvironment childEnvironment = QProcessEnvironment::systemEnvironment();
    for (const QByteArray &pair : environment) {
        const qsizetype equals = pair.indexOf('=');
        childEnvironment.insert(QString::fromLocal8Bit(pair.left(equals)), QString::fromLocal8Bit(pair.mid(equals + 1)));
    }
    QProcess child;
    child.setProcessEnvironment(childEnvironment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                QStringList{kChildOption, QString::fromLatin1(name)} + arguments);
    FreshChildEnd end;
    if (!child.waitForStarted() || !child.waitForFinished(-1))
        return end;
    end.killed = child.exitStatus() == QProcess::CrashExit;
    end.exitCode = end.killed ? -1 : child.exitCode();
    return end;
}

std::optional<int> runFreshChildEntry(const QStringList &programArguments)
{
    if (programArguments.size() < 3 || programArguments[1] != kChildOption)
        return std::nullopt;
    const auto it = entries().constFind(programArguments[2]);
    return it == entries().cend() ? 127 : (*it)(programArguments.mid(3));
}

} // namespace kaz::test
