#pragma once

#include "MediaPlayer.h"

#include <QString>

#include <memory>

namespace kaz {

// The player the program works with: the configured executable (KAZ.INI
// line 12) over the session bus, or the null player when none is
// configured ("." or too short to be a path) or there is no session bus.
std::unique_ptr<MediaPlayer> createMediaPlayer(const QString &executable);

// Whether line 12 names a player at all: "." (or anything shorter than
// three characters, the shortest path to a program) stands for none.
bool isPlayerConfigured(const QString &executable);

} // namespace kaz
