#pragma once

#include "support/TestSupport.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>
#include <cerrno>

#include <sys/stat.h>

namespace kaz::test {
namespace bus_detail {

inline const char kBusConfig[] = R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <include>/usr/share/dbus-1/session.conf</include>
  <policy context="default"><allow user="*"/></policy>
</busconfig>
)";

// A player that quit may stay a zombie of an init that does not reap.
inline bool alive(qint64 pid)
{
    if (::kill(pid_t(pid), 0) != 0 && errno == ESRCH)
        return false;
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray line = stat.readAll();
    const qsizetype end = line.lastIndexOf(')');
    return end < 0 || line.mid(end + 2, 1) != "Z";
}

inline bool waitGone(qint64 pid, int ms)
{
    const QDeadlineTimer deadline(ms);
    while (alive(pid) && !deadline.hasExpired())
        QThread::msleep(20);
    return !alive(pid);
}

inline int g_busNumber = 0;

} // namespace bus_detail

// A D-Bus session bus of the test's own (dbus-daemon with a config file that
// also admits the unprivileged user VLC runs as under root), made the
// session bus of every program the test starts. Players that joined it are
// asked to quit, and killed by their own process id if they do not, before
// the bus ends.
class PrivateBus
{
public:
    PrivateBus()
        : m_oldAddress(qgetenv("DBUS_SESSION_BUS_ADDRESS"))
    {
        ::chmod(QFile::encodeName(m_dir.path()).constData(), 0755);
        const QString config = m_dir.filePath(QStringLiteral("bus.conf"));
        if (!writeAll(config, bus_detail::kBusConfig)) {
            m_error = QStringLiteral("cannot write the bus configuration");
            return;
        }
        m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + config,
                                                       QStringLiteral("--nofork"), QStringLiteral("--print-address=1")});
        if (!m_daemon.waitForStarted(5000)) {
            m_error = QStringLiteral("dbus-daemon did not start (package dbus)");
            return;
        }
        QByteArray address;
        const QDeadlineTimer deadline(10000);
        while (!address.contains('\n') && !deadline.hasExpired() && m_daemon.waitForReadyRead(200))
            address += m_daemon.readAllStandardOutput();
        address = address.trimmed();
        if (address.isEmpty()) {
            m_error = QStringLiteral("dbus-daemon gave no address: ") + QString::fromLocal8Bit(m_daemon.readAllStandardError());
            return;
        }
        qputenv("DBUS_SESSION_BUS_ADDRESS", address);
        m_connection = QDBusConnection::connectToBus(QString::fromLatin1(address),
                                                     QStringLiteral("kaz-test-bus-%1").arg(++bus_detail::g_busNumber));
        if (!m_connection.isConnected())
            m_error = m_connection.lastError().message();
    }

    ~PrivateBus()
    {
        quitPlayers();
        if (m_connection.isConnected())
            QDBusConnection::disconnectFromBus(m_connection.name());
        if (m_daemon.state() != QProcess::NotRunning) {
            m_daemon.terminate();
            if (!m_daemon.waitForFinished(3000))
                m_daemon.kill();
            m_daemon.waitForFinished(3000);
        }
        if (m_oldAddress.isEmpty())
            qunsetenv("DBUS_SESSION_BUS_ADDRESS");
        else
            qputenv("DBUS_SESSION_BUS_ADDRESS", m_oldAddress);
    }
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isUp() const { return m_connection.isConnected(); }
    QString error() const { return m_error; }
    QDBusConnection connection() const { return m_connection; }
    // Remembers the process of a player on the bus, for the clean-up.
    void notePlayer(const QString &service)
    {
        const QDBusReply<uint> pid = m_connection.interface()->servicePid(service);
        // A test player inside the test program itself is no process to end.
        if (pid.isValid() && pid.value() != QCoreApplication::applicationPid() && !m_players.contains(pid.value()))
            m_players.append(pid.value());
    }
    // A folder every user may read (the player may run as another user).
    QString sharedFolder() const { return m_dir.path(); }

private:
    void quitPlayers()
    {
        if (!m_connection.isConnected())
            return;
        for (const QString &name : m_connection.interface()->registeredServiceNames().value()) {
            if (!name.startsWith(QLatin1String("org.mpris.MediaPlayer2.")))
                continue;
            notePlayer(name);
            m_connection.call(QDBusMessage::createMethodCall(name, QStringLiteral("/org/mpris/MediaPlayer2"),
                                                             QStringLiteral("org.mpris.MediaPlayer2"),
                                                             QStringLiteral("Quit")), QDBus::Block, 3000);
        }
        for (qint64 pid : std::as_const(m_players)) {
            if (!bus_detail::waitGone(pid, 5000)) {
                ::kill(pid_t(pid), SIGTERM);
                bus_detail::waitGone(pid, 3000);
            }
        }
    }

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QDBusConnection m_connection{QString()};
    QString m_error;
    QByteArray m_oldAddress;
    QList<qint64> m_players;
};

// A launcher for VLC in the folder: headless, and as "nobody" under root
// (VLC refuses to run as root). Empty when VLC is not installed.
inline QString writeVlcLauncher(const QString &folder)
{
    if (!QFile::exists(QStringLiteral("/usr/bin/vlc")))
        return {};
    // Named after the player, as a configured path would be.
    const QString path = folder + QStringLiteral("/vlc-test");
    const bool written = writeAll(path, "#!/bin/sh\n"
                                        "opts='-I dummy -A dummy --no-video'\n"
                                        "if [ \"$(id -u)\" = 0 ]; then\n"
                                        "  exec setpriv --reuid=nobody --regid=nogroup --clear-groups env HOME=/tmp /usr/bin/vlc $opts \"$@\"\n"
                                        "fi\n"
                                        "exec /usr/bin/vlc $opts \"$@\"\n");
    return written && ::chmod(QFile::encodeName(path).constData(), 0755) == 0 ? path : QString();
}

} // namespace kaz::test
