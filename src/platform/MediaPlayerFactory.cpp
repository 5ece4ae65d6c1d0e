#include "MediaPlayerFactory.h"

#ifdef KAZ_HAVE_DBUS
#include "MprisMediaPlayer.h"

#include <QDBusConnection>
#endif

namespace kaz {

bool isPlayerConfigured(const QString &executable)
{
    return executable.size() >= 3;
}

std::unique_ptr<MediaPlayer> createMediaPlayer(const QString &executable)
{
#ifdef KAZ_HAVE_DBUS
    if (isPlayerConfigured(executable)) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected())
            return std::make_unique<MprisMediaPlayer>(executable, bus);
    }
#else
    Q_UNUSED(executable);
#endif
    return std::make_unique<NullMediaPlayer>();
}

} // namespace kaz
