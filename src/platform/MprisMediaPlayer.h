#pragma once

#include "MediaPlayer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <functional>

namespace kaz {

// A media player on the D-Bus session bus, driven over MPRIS2 (any service
// named "org.mpris.MediaPlayer2.*"). MPRIS2 has no "clear the play list" and
// its "add" inserts at the front, so two players get their own ways: VLC
// appends through its own "Append" track path and is cleared track by track;
// Audacious is cleared and fed through its own service. Any other player
// gets what its TrackList offers, and without one the list calls do nothing.
class MprisMediaPlayer : public MediaPlayer
{
public:
    struct Options {
        int startTimeoutMs = 10000; // how long launch() waits for the bus name
        int callTimeoutMs = 3000;   // one D-Bus call
    };

    // executable: the configured player, started by launch() when no
    // player is on the bus.
    MprisMediaPlayer(QString executable, QDBusConnection bus, Options options);
    MprisMediaPlayer(QString executable, QDBusConnection bus)
        : MprisMediaPlayer(std::move(executable), std::move(bus), Options())
    {
    }

    bool isRunning() override;
    bool launch() override;
    QString errorText() const override { return m_error; }
    bool isPlaying() override;
    bool isPaused() override { return playbackStatus() == QLatin1String("Paused"); }
    qint64 position() override;
    qint64 length() override;
    QString currentFile() override;
    void clearPlaylist() override;
    void addFile(const QString &path) override;
    void startPlaying() override;
    void jumpTo(qint64 position) override;
    void play() override;
    void pauseToggle() override;
    void stop() override;
    void next() override;
    void playFromList(qsizetype index) override;

    // "Playing", "Paused" or "Stopped"; empty when no player answers.
    QString playbackStatus();
    // The bus name of the player in use; empty when none runs.
    QString serviceName();
    // The arguments launch() gives the executable.
    static QStringList launchArguments(const QString &executable);

private:
    enum class Flavour { Vlc, Audacious, Generic };

    Flavour flavour();
    QDBusMessage call(const QString &service, const QString &path, const QString &interface,
                      const QString &method, const QVariantList &arguments = {});
    QDBusMessage playerCall(const QString &method, const QVariantList &arguments = {});
    QVariant property(const QString &interface, const QString &name);
    void setProperty(const QString &interface, const QString &name, const QVariant &value);
    QVariantMap metadata();
    QString trackId();
    QStringList trackIds();
    void removeAllTracks();
    void toggleShuffleTwice();
    // Waits until the player reports a track other than previous.
    bool waitForTrackChange(const QString &previous);
    bool waitFor(const std::function<bool()> &condition, int timeoutMs);

    QString m_executable;
    QDBusConnection m_bus;
    Options m_options;
    QString m_service;
    QString m_error;
    // The files added since the last clear, so that playFromList() can
    // tell by the file whether it arrived.
    QStringList m_queued;
};

} // namespace kaz
