#include "MediaPlayer.h"

namespace kaz {

MediaPlayer &nullMediaPlayer()
{
    static NullMediaPlayer player;
    return player;
}

} // namespace kaz
