#include "FakeMprisPlayer.h"

#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QUrl>

namespace kaz::test {
namespace {

const QString kObject = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kTrackPrefix = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");
const QString kVlcAppend = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/Append");
constexpr qint64 kTrackLengthUs = 16'000'000;

QString pathOf(const QVariant &value)
{
    return value.value<QDBusObjectPath>().path();
}

} // namespace

class FakeMprisObject : public QDBusVirtualObject
{
public:
    struct Track {
        QString id;
        QString url;
    };

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
        if (name == QLatin1String("PlaybackStatus"))
            return status;
        if (name == QLatin1String("Position"))
            return position();
        if (name == QLatin1String("Shuffle"))
            return shuffle;
        if (name == QLatin1String("HasTrackList"))
            return true;
        if (name == QLatin1String("Tracks")) {
            QList<QDBusObjectPath> ids;
            for (const Track &t : std::as_const(tracks))
                ids.append(QDBusObjectPath(t.id));
            return QVariant::fromValue(ids);
        }
        if (name == QLatin1String("Metadata")) {
            QVariantMap map;
            if (current >= 0) {
                map.insert(QStringLiteral("mpris:trackid"), QVariant::fromValue(QDBusObjectPath(tracks[current].id)));
                map.insert(QStringLiteral("mpris:length"), kTrackLengthUs);
                map.insert(QStringLiteral("xesam:url"), tracks[current].url);
            }
            return map;
        }
        return QString();
    }

    void act(const QString &member, const QVariantList &args)
    {
        if (member == QLatin1String("AddTrack") && args.size() == 3) {
            const QString after = pathOf(args[1]);
            Track track{kTrackPrefix + QString::number(++lastId), args[0].toString()};
            qsizetype at = tracks.size();
            if (after == kNoTrack)
                at = 0;
            else if (after != kVlcAppend)
                at = indexOf(after) + 1;
            tracks.insert(at, track);
            if (current >= at)
                ++current;
        } else
        if (member == QLatin1String("RemoveTrack") && !args.isEmpty()) {
            const qsizetype i = indexOf(pathOf(args[0]));
            if (i >= 0) {
                tracks.removeAt(i);
                if (current == i) {
                    stopPlaying();
                    current = -1;
                } else if (current > i) {
                    --current;
                }
            }
        } else if (member == QLatin1String("Play") && !tracks.isEmpty()) {
            if (current < 0)
                start(0);
            else if (status == QLatin1String("Paused"))
                resume();
            else if (status == QLatin1String("Stopped"))
                start(current);
        } else if (member == QLatin1String("PlayPause")) {
            if (status == QLatin1String("Playing"))
                pause();
            else if (!tracks.isEmpty())
                current < 0 ? start(0) : resume();
        } else if (member == QLatin1String("Stop")) {
            stopPlaying();
        } else if (member == QLatin1String("Next") && !tracks.isEmpty()) {
            start(current + 1 < tracks.size() ? current + 1 : 0);
        } else if (member == QLatin1String("SetPosition") && args.size() == 2) {
            // Taken only with the id of the current track, as players do.
            if (current >= 0 && pathOf(args[0]) == tracks[current].id)
                setPosition(args[1].toLongLong());
        }
    }

    qsizetype indexOf(const QString &id) const
    {
        for (qsizetype i = 0; i < tracks.size(); ++i) {
            if (tracks[i].id == id)
                return i;
        }
        return -1;
    }
    qint64 position() const { return status == QLatin1String("Playing") ? base + clock.elapsed() * 1000 : base; }
    void setPosition(qint64 us)
    {
        base = us;
        clock.restart();
    }
    void start(qsizetype index)
    {
        current = index;
        status = QStringLiteral("Playing");
        setPosition(0);
    }
    void pause()
    {
        base = position();
        status = QStringLiteral("Paused");
    }
    void resume()
    {
        status = QStringLiteral("Playing");
        clock.restart();
    }
    void stopPlaying()
    {
        status = QStringLiteral("Stopped");
        base = 0;
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

FakeMprisPlayer::FakeMprisPlayer(const QString &busAddress, const QString &id)
    : m_object(std::make_unique<FakeMprisObject>())
{
    m_object->clock.start();
    m_thread.start();
    m_object->moveToThread(&m_thread);
    m_connection = QDBusConnection::connectToBus(busAddress, QStringLiteral("kaz-fake-player-") + id);
    m_service = QStringLiteral("org.mpris.MediaPlayer2.") + id;
    // Registered from the thread the object lives in, which answers its calls.
    bool registered = false;
    QMetaObject::invokeMethod(
        m_object.get(),
        [this, &registered] {
            registered = m_connection.registerVirtualObject(kObject, m_object.get(), QDBusConnection::SubPath)
                         && m_connection.registerService(m_service);
        },
        Qt::BlockingQueuedConnection);
    if (!registered)
        QDBusConnection::disconnectFromBus(m_connection.name());
}

FakeMprisPlayer::~FakeMprisPlayer()
{
    if (m_connection.isConnected()) {
        QMetaObject::invokeMethod(
            m_object.get(),
            [this] {
                m_connection.unregisterService(m_service);
                m_connection.unregisterObject(kObject);
            },
            Qt::BlockingQueuedConnection);
        QDBusConnection::disconnectFromBus(m_connection.name());
    }
    m_thread.quit();
    m_thread.wait();
}

bool FakeMprisPlayer::isUp() const
{
    return m_connection.isConnected();
}

QStringList FakeMprisPlayer::files() const
{
    QMutexLocker lock(&m_object->mutex);
    QStringList files;
    for (const FakeMprisObject::Track &t : std::as_const(m_object->tracks))
        files.append(QUrl(t.url).toLocalFile());
    return files;
}

} // namespace kaz::test
