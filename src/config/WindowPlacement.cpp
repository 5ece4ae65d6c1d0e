#include "WindowPlacement.h"

namespace kaz {

QRect windowGeometry(const KazSettings &settings, QSize screen)
{
    const QSize size(settings.windowWidth, settings.windowHeight);
    // Centred by the window's default size (601 x 460), not by the stored one.
    const QPoint centred((screen.width() - 601) / 2, (screen.height() - 460) / 2);
    const bool stored = settings.startWithLastPosition && settings.windowLeft && settings.windowTop;
    if (!stored || *settings.windowLeft + size.width() > screen.width())
        return QRect(centred, size);
    return QRect(QPoint(*settings.windowLeft, *settings.windowTop), size);
}

} // namespace kaz
