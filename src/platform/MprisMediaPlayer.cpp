#include "MprisMediaPlayer.h"

#include "MediaPlayerFactory.h"

#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QUrl>

#include <cerrno>
#include <csignal>

namespace kaz {
namespace {

const QString kPrefix = QStringLiteral("org.mpris.MediaPlayer2.");
const QString kObject = QStringLiteral("/org/mpris/MediaPlayer2");
const QString kRoot = QStringLiteral("org.mpris.MediaPlayer2");
const QString kPlayer = QStringLiteral("org.mpris.MediaPlayer2.Player");
const QString kTrackList = QStringLiteral("org.mpris.MediaPlayer2.TrackList");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
const QString kAudacious = QStringLiteral("org.atheme.audacious");
const QString kAudaciousObject = QStringLiteral("/org/atheme/audacious");
// VLC's own "after track" path that appends; the standard NoTrack inserts at the front.
const QString kVlcAppend = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/Append");
const QString kNoTrack = QStringLiteral("/org/mpris/MediaPlayer2/TrackList/NoTrack");

// "org.mpris.MediaPlayer2.vlc.instance123" -> "vlc"
QString playerId(const QString &service)
{
    return service.mid(kPrefix.size()).section(QLatin1Char('.'), 0, 0);
}

// Properties.Get wraps the value in a variant; maps and arrays arrive as
// D-Bus arguments still to be taken apart.
QVariant unwrap(const QVariant &value)
{
    if (value.canConvert<QDBusVariant>())
        return unwrap(value.value<QDBusVariant>().variant());
    return value;
}

bool processGone(qint64 pid)
{
    return pid > 0 && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

MprisMediaPlayer::MprisMediaPlayer(QString executable, QDBusConnection bus, Options options)
    : m_executable(std::move(executable))
    , m_bus(std::move(bus))
    , m_options(options)
{
}

QString MprisMediaPlayer::serviceName()
{
    if (!m_bus.isConnected())
        return {};
    QDBusConnectionInterface *daemon = m_bus.interface();
    if (!m_service.isEmpty() && daemon->isServiceRegistered(m_service).value())
        return m_service;
    m_service.clear();
    const QStringList names = daemon->registeredServiceNames().value();
    const QString wanted = QFileInfo(m_executable).fileName().toLower();
    int best = -1;
    for (const QString &name : names) {
        if (!name.startsWith(kPrefix))
            continue;
        // The configured player before any other; the plain name before
        // VLC's per-process second name.
        const QString id = playerId(name).toLower();
        const int score = (!id.isEmpty() && wanted.startsWith(id) ? 2 : 0) + (name.count(QLatin1Char('.')) == 3 ? 1 : 0);
        if (score > best) {
            best = score;
            m_service = name;
        }
    }
    return m_service;
}

bool MprisMediaPlayer::isRunning()
{
    return !serviceName().isEmpty();
}

QStringList MprisMediaPlayer::launchArguments(const QString &executable)
{
    // Debian's VLC leaves its D-Bus control off unless asked.
    if (QFileInfo(executable).fileName().startsWith(QLatin1String("vlc")))
        return {QStringLiteral("--control=dbus")};
    return {};
}

bool MprisMediaPlayer::launch()
{
    m_error.clear();
    if (isRunning())
        return true;
    if (!m_bus.isConnected())
        return false;
    const QFileInfo program(m_executable);
    if (!isPlayerConfigured(m_executable) || !program.isFile()) {
        m_error = m_executable;
        return false;
    }
    qint64 pid = 0;
    if (!QProcess::startDetached(program.absoluteFilePath(), launchArguments(m_executable), program.absolutePath(),
                                 &pid)) {
        m_error = program.absoluteFilePath();
        return false;
    }
    const bool appeared =
        waitFor([&] { return isRunning() || processGone(pid); }, m_options.startTimeoutMs) && isRunning();
    if (!appeared)
        m_error = program.absoluteFilePath();
    return appeared;
}

bool MprisMediaPlayer::waitFor(const std::function<bool()> &condition, int timeoutMs)
{
    const QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QThread::msleep(20);
    }
    return true;
}

MprisMediaPlayer::Flavour MprisMediaPlayer::flavour()
{
    const QString id = playerId(serviceName());
    if (id == QLatin1String("vlc"))
        return Flavour::Vlc;
    if (id == QLatin1String("audacious") && m_bus.interface()->isServiceRegistered(kAudacious).value())
        return Flavour::Audacious;
    return Flavour::Generic;
}

QDBusMessage MprisMediaPlayer::call(const QString &service, const QString &path, const QString &interface,
                                    const QString &method, const QVariantList &arguments)
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return m_bus.call(message, QDBus::Block, m_options.callTimeoutMs);
}

QDBusMessage MprisMediaPlayer::playerCall(const QString &method, const QVariantList &arguments)
{
    const QString service = serviceName();
    if (service.isEmpty())
        return {};
    return call(service, kObject, kPlayer, method, arguments);
}

// Properties are read with an explicit Get: VLC's introspection data gives
// some of them the wrong type, which makes Qt's property access fail.
QVariant MprisMediaPlayer::property(const QString &interface, const QString &name)
{
    const QString service = serviceName();
    if (service.isEmpty())
        return {};
    const QDBusMessage reply = call(service, kObject, kProperties, QStringLiteral("Get"), {interface, name});
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return unwrap(reply.arguments().constFirst());
}

void MprisMediaPlayer::setProperty(const QString &interface, const QString &name, const QVariant &value)
{
    const QString service = serviceName();
    if (!service.isEmpty())
        call(service, kObject, kProperties, QStringLiteral("Set"), {interface, name, QVariant::fromValue(QDBusVariant(value))});
}

QVariantMap MprisMediaPlayer::metadata()
{
    const QVariant value = property(kPlayer, QStringLiteral("Metadata"));
    if (value.canConvert<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

QString MprisMediaPlayer::trackId()
{
    const QVariant id = unwrap(metadata().value(QStringLiteral("mpris:trackid")));
    if (id.canConvert<QDBusObjectPath>())
        return id.value<QDBusObjectPath>().path();
    return id.toString();
}

QStringList MprisMediaPlayer::trackIds()
{
    const QVariant value = property(kTrackList, QStringLiteral("Tracks"));
    QList<QDBusObjectPath> paths;
    if (value.canConvert<QDBusArgument>())
        paths = qdbus_cast<QList<QDBusObjectPath>>(value.value<QDBusArgument>());
    else
        paths = value.value<QList<QDBusObjectPath>>();
    QStringList ids;
    for (const QDBusObjectPath &path : paths)
        ids.append(path.path());
    return ids;
}

QString MprisMediaPlayer::playbackStatus()
{
    return property(kPlayer, QStringLiteral("PlaybackStatus")).toString();
}

bool MprisMediaPlayer::isPlaying()
{
    const QString status = playbackStatus();
    return status == QLatin1String("Playing") || status == QLatin1String("Paused");
}

qint64 MprisMediaPlayer::position()
{
    return property(kPlayer, QStringLiteral("Position")).toLongLong() / 1000;
}

qint64 MprisMediaPlayer::length()
{
    return unwrap(metadata().value(QStringLiteral("mpris:length"))).toLongLong() / 1000;
}

QString MprisMediaPlayer::currentFile()
{
    const QUrl url(unwrap(metadata().value(QStringLiteral("xesam:url"))).toString());
    return url.isLocalFile() ? url.toLocalFile() : QString();
}

// VLC's Tracks property stays stale until the list is reordered; switching
// shuffle on and off (back to what it was) refreshes it.
void MprisMediaPlayer::toggleShuffleTwice()
{
    const bool shuffle = property(kPlayer, QStringLiteral("Shuffle")).toBool();
    setProperty(kPlayer, QStringLiteral("Shuffle"), !shuffle);
    setProperty(kPlayer, QStringLiteral("Shuffle"), shuffle);
}

void MprisMediaPlayer::removeAllTracks()
{
    const QString service = serviceName();
    for (const QString &id : trackIds())
        call(service, kObject, kTrackList, QStringLiteral("RemoveTrack"), {QVariant::fromValue(QDBusObjectPath(id))});
}

void MprisMediaPlayer::clearPlaylist()
{
    m_queued.clear();
    switch (flavour()) {
    case Flavour::Vlc:
        // Only while stopped: shuffling a playing list reorders it. VLC
        // stops in its own time, so wait for it, and for the list to empty.
        stop();
        waitFor([&] { return playbackStatus() != QLatin1String("Playing") && playbackStatus() != QLatin1String("Paused"); },
                3000);
        toggleShuffleTwice();
        removeAllTracks();
        toggleShuffleTwice();
        waitFor([&] { return trackIds().isEmpty(); }, 3000);
        break;
    case Flavour::Audacious:
        call(kAudacious, kAudaciousObject, kAudacious, QStringLiteral("Clear"));
        break;
    case Flavour::Generic:
        removeAllTracks();
        break;
    }
}

void MprisMediaPlayer::addFile(const QString &path)
{
    m_queued.append(path);
    const QString uri = QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    switch (flavour()) {
    case Flavour::Vlc:
        call(serviceName(), kObject, kTrackList, QStringLiteral("AddTrack"),
             {uri, QVariant::fromValue(QDBusObjectPath(kVlcAppend)), false});
        break;
    case Flavour::Audacious:
        call(kAudacious, kAudaciousObject, kAudacious, QStringLiteral("AddUrl"), {uri});
        break;
    case Flavour::Generic: {
        if (!property(kRoot, QStringLiteral("HasTrackList")).toBool())
            return;
        const QStringList ids = trackIds();
        const QString after = ids.isEmpty() ? kNoTrack : ids.constLast();
        call(serviceName(), kObject, kTrackList, QStringLiteral("AddTrack"),
             {uri, QVariant::fromValue(QDBusObjectPath(after)), false});
        break;
    }
    }
}

void MprisMediaPlayer::startPlaying()
{
    if (flavour() == Flavour::Audacious)
        call(kAudacious, kAudaciousObject, kAudacious, QStringLiteral("Jump"), {0u});
    play();
}

// A seek is taken only with the id of the track the player is on, and a
// player that has just changed tracks may still ignore it: check that it
// landed and try again a few times.
void MprisMediaPlayer::jumpTo(qint64 position)
{
    for (int attempt = 0; attempt < 3; ++attempt) {
        const QString id = trackId();
        if (id.isEmpty())
            return;
        playerCall(QStringLiteral("SetPosition"), {QVariant::fromValue(QDBusObjectPath(id)), position * 1000});
        if (waitFor([&] { return qAbs(this->position() - position) < 1500; }, 1500))
            return;
    }
}

void MprisMediaPlayer::play()
{
    playerCall(QStringLiteral("Play"));
}

void MprisMediaPlayer::pauseToggle()
{
    playerCall(QStringLiteral("PlayPause"));
}

void MprisMediaPlayer::stop()
{
    playerCall(QStringLiteral("Stop"));
}

void MprisMediaPlayer::next()
{
    playerCall(QStringLiteral("Next"));
}

bool MprisMediaPlayer::waitForTrackChange(const QString &previous)
{
    return waitFor([&] { return trackId() != previous; }, 2000);
}

// An MPRIS player starts a fresh list at its first file, and a "next" while
// stopped already starts playing: play first, then skip until the wanted
// file plays. Each skip is waited for, and the file checked, because a
// busy player may take a skip late or not at all.
void MprisMediaPlayer::playFromList(qsizetype index)
{
    if (!isRunning())
        return;
    const QString wanted = index >= 0 && index < m_queued.size() ? m_queued.at(index) : QString();
    const auto playingFresh = [&] {
        return playbackStatus() == QLatin1String("Playing") && !trackId().isEmpty()
               && (m_queued.isEmpty() || m_queued.contains(currentFile()));
    };
    if (flavour() == Flavour::Audacious) {
        call(kAudacious, kAudaciousObject, kAudacious, QStringLiteral("Jump"), {uint(qMax<qsizetype>(index, 0))});
        play();
        waitFor(playingFresh, 3000);
        return;
    }
    startPlaying();
    waitFor(playingFresh, 3000);
    if (wanted.isEmpty()) {
        for (qsizetype i = 0; i < index; ++i) {
            const QString before = trackId();
            next();
            waitForTrackChange(before);
        }
    } else {
        for (qsizetype step = 0; step <= m_queued.size() && currentFile() != wanted; ++step) {
            const QString before = trackId();
            next();
            waitForTrackChange(before);
        }
    }
    // A seek lands only once the file really plays: its length is known and
    // its position moves.
    waitFor([&] { return length() > 0 && position() > 0; }, 3000);
}

} // namespace kaz
