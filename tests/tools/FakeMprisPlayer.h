#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QString>
#include <QStringList>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <memory>

namespace kaz::test {
namespace mpris {

inline const QString kObject = QStringLiteral("/org/mpris/MediaPlayer2");
inline const QString kTrackPrefix = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/");
inline const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
inline const QString kVlcAppend = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/Append");
inline constexpr qint64 kTrackLengthUs = 16'000'000;

inline QString pathOf(const QVariant &value) { return value.value<QDBusObjectPath>().path(); }

class FakeMprisObject : public QDBusVirtualObject
{
public:
    struct Track { QString id; QString url; };

    QString introspect(const QString &) const override { return {}; }

    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        QMutexLocker lock(&mutex);
        const QVariantList args = message.arguments();
        QVariantList reply;
        if (message.member() == QLatin1String("Get") && args.size() == 2)
            reply << QVariant::fromValue(QDBusVariant(property(args[1].toString())));
        else if (message.member() == QLatin1String("Set") && args.size() == 3 && args[1].toString() == QLatin1String("Shuffle"))
            shuffle = args[2].value<QDBusVariant>().variant().toBool();
        else
            act(message.member(), args);
        connection.send(message.createReply(reply));
        return true;
    }

    QVariant property(const QString &name)
    {
        if (name == QLatin1String("Tracks")) {
            QList<QDBusObjectPath> ids;
            for (const Track &t : std::as_const(tracks))
                ids.append(QDBusObjectPath(t.id));
            return QVariant::fromValue(ids);
        }
        if (name == QLatin1String("Metadata") && current >= 0)
            return QVariantMap{{QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(tracks[current].id))},
                               {QStringLiteral("mpris:length"), kTrackLengthUs},
                               {QStringLiteral("xesam:url"), tracks[current].url}};
        const QVariantMap plain{{QStringLiteral("PlaybackStatus"), status}, {QStringLiteral("Position"), position()},
                                {QStringLiteral("Shuffle"), shuffle}, {QStringLiteral("HasTrackList"), true},
                                {QStringLiteral("Metadata"), QVariantMap()}};
        return plain.value(name, QString());
    }

    void act(const QString &member, const QVariantList &args)
    {
        const bool playing = status == QLatin1String("Playing");
        if (member == QLatin1String("AddTrack") && args.size() == 3) {
            const QString after = pathOf(args[1]);
            const qsizetype at = after == kNoTrack ? 0 : after == kVlcAppend ? tracks.size() : indexOf(after) + 1;
            tracks.insert(at, Track{kTrackPrefix + QString::number(++lastId), args[0].toString()});
            if (current >= at)
                ++current;
        } else if (member == QLatin1String("RemoveTrack") && !args.isEmpty()) {
            const qsizetype i = indexOf(pathOf(args[0]));
            if (i >= 0) {
                tracks.removeAt(i);
                if (current == i)
                    setStatus(QStringLiteral("Stopped"), 0);
                current = current == i ? -1 : current - (current > i);
            }
        } else if ((member == QLatin1String("Play") || (member == QLatin1String("PlayPause") && !playing))
                   && !tracks.isEmpty()) {
            if (current < 0 || status == QLatin1String("Stopped"))
                start(qMax(current, qsizetype(0)));
            else if (!playing)
                setStatus(QStringLiteral("Playing"), base);
        } else if (member == QLatin1String("PlayPause") && playing) {
            setStatus(QStringLiteral("Paused"), position());
        } else if (member == QLatin1String("Stop")) {
            setStatus(QStringLiteral("Stopped"), 0);
        } else if (member == QLatin1String("Next") && !tracks.isEmpty()) {
            start(current + 1 < tracks.size() ? current + 1 : 0);
        } else if (member == QLatin1String("SetPosition") && args.size() == 2) {
            // Taken only with the id of the current track, as players do.
            if (current >= 0 && pathOf(args[0]) == tracks[current].id)
                setStatus(status, args[1].toLongLong());
        }
    }

    qsizetype indexOf(const QString &id) const
    {
        const auto at = std::find_if(tracks.cbegin(), tracks.cend(), [&](const Track &t) { return t.id == id; });
        return at == tracks.cend() ? -1 : at - tracks.cbegin();
    }
    qint64 position() const { return status == QLatin1String("Playing") ? base + clock.elapsed() * 1000 : base; }
    // The clock runs from the position in microseconds.
    void setStatus(const QString &newStatus, qint64 us)
    {
        status = newStatus;
        base = us;
        clock.restart();
    }
    void start(qsizetype index)
    {
        current = index;
        setStatus(QStringLiteral("Playing"), 0);
    }

    mutable QMutex mutex;
    QList<Track> tracks;
    qsizetype current = -1;
    QString status = QStringLiteral("Stopped");
    bool shuffle = false;
    qint64 base = 0; // position in microseconds when the clock last started
    QElapsedTimer clock;
    int lastId = 0;
};

} // namespace mpris

// A small MPRIS2 player on a private bus, for testing the player logic
// without a real player: it keeps a track list, a current track, a status
// and a position that runs in real time while it plays. It answers from a
// thread of its own, over a connection of its own, so that the blocking
// calls of the program under test get their replies.
// AddTrack follows MPRIS2 (NoTrack puts the track first) and knows VLC's
// own Append path; Next on the last track wraps to the first, as VLC's does.
class FakeMprisPlayer
{
public:
    // Joins the bus at busAddress as "org.mpris.MediaPlayer2." + id. Leaves
    // it before the bus ends (a PrivateBus ends the players it finds).
    FakeMprisPlayer(const QString &busAddress, const QString &id)
        : m_object(std::make_unique<mpris::FakeMprisObject>())
    {
        m_object->clock.start();
        m_thread.start();
        m_object->moveToThread(&m_thread);
        m_connection = QDBusConnection::connectToBus(busAddress, QStringLiteral("kaz-fake-player-") + id);
        m_service = QStringLiteral("org.mpris.MediaPlayer2.") + id;
        // Registered from the thread the object lives in, which answers its calls.
        bool registered = false;
        QMetaObject::invokeMethod(m_object.get(), [this, &registered] {
            registered = m_connection.registerVirtualObject(mpris::kObject, m_object.get(), QDBusConnection::SubPath)
                         && m_connection.registerService(m_service);
        }, Qt::BlockingQueuedConnection);
        if (!registered)
            QDBusConnection::disconnectFromBus(m_connection.name());
    }

    ~FakeMprisPlayer()
    {
        if (m_connection.isConnected()) {
            QMetaObject::invokeMethod(m_object.get(), [this] {
                m_connection.unregisterService(m_service);
                m_connection.unregisterObject(mpris::kObject);
            }, Qt::BlockingQueuedConnection);
            QDBusConnection::disconnectFromBus(m_connection.name());
        }
        m_thread.quit();
        m_thread.wait();
    }
    FakeMprisPlayer(const FakeMprisPlayer &) = delete;
    FakeMprisPlayer &operator=(const FakeMprisPlayer &) = delete;

    bool isUp() const { return m_connection.isConnected(); }
    // The files of the track list in order.
    QStringList files() const
    {
        QMutexLocker lock(&m_object->mutex);
        QStringList files;
        for (const mpris::FakeMprisObject::Track &t : std::as_const(m_object->tracks))
            files.append(QUrl(t.url).toLocalFile());
        return files;
    }

private:
    QThread m_thread;
    QDBusConnection m_connection{QString()};
    QString m_service;
    std::unique_ptr<mpris::FakeMprisObject> m_object;
};

} // namespace kaz::test
