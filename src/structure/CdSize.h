#pragma once

#include <QtGlobal>

namespace kaz {

// One megabyte and one minute of a CD, in bytes. The minute is the figure
// the program has always used: a 650 MB blank comes out as its nominal 74
// minutes with it (the 9,216,000 data bytes of a CD-ROM minute, 75 sectors
// of 2048 bytes a second, would give 73). CD folder names ("CD1_74min
// (650MB)") and the minutes shown for a stored size depend on it.
inline constexpr qint64 kCdMinuteBytes = 9203595;
inline constexpr qint64 kMegabyte = 1048576;

} // namespace kaz
