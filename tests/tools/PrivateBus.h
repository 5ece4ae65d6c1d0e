#pragma once

#include <QDBusConnection>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

namespace kaz::test {

// A D-Bus session bus of the test's own (dbus-daemon with a config file that
// also admits the unprivileged user VLC runs as under root), made the
// session bus of every program the test starts. Players that joined it are
// asked to quit, and killed by their own process id if they do not, before
// the bus ends.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus &) = delete;
    PrivateBus &operator=(const PrivateBus &) = delete;

    bool isUp() const { return m_connection.isConnected(); }
    QString error() const { return m_error; }
    QDBusConnection connection() const { return m_connection; }
    // Remembers the process of a player on the bus, for the clean-up.
    void notePlayer(const QString &service);
    // A folder every user may read (the player may run as another user).
    QString sharedFolder() const { return m_dir.path(); }

private:
    void quitPlayers();

    QTemporaryDir m_dir;
    QProcess m_daemon;
    QDBusConnection m_connection{QString()};
    QString m_error;
    QByteArray m_oldAddress;
    QList<qint64> m_players;
};

// A launcher for VLC in the folder: headless, and as "nobody" under root
// (VLC refuses to run as root). Empty when VLC is not installed.
QString writeVlcLauncher(const QString &folder);

} // namespace kaz::test
