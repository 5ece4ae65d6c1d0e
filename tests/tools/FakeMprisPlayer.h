#pragma once

#include <QDBusConnection>
#include <QString>
#include <QStringList>
#include <QThread>

#include <memory>

namespace kaz::test {

class FakeMprisObject;

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
    FakeMprisPlayer(const QString &busAddress, const QString &id);
    ~FakeMprisPlayer();
    FakeMprisPlayer(const FakeMprisPlayer &) = delete;
    FakeMprisPlayer &operator=(const FakeMprisPlayer &) = delete;

    bool isUp() const;
    // The files of the track list in order.
    QStringList files() const;

private:
    QThread m_thread;
    QDBusConnection m_connection{QString()};
    QString m_service;
    std::unique_ptr<FakeMprisObject> m_object;
};

} // namespace kaz::test
