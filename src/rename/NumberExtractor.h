#pragma once

#include <QString>

namespace kaz {

// The number in a file name (with its extension): a leading number, else the
// last number before a bracketed or parenthesised tail. One digit gets a
// leading "0"; no number (or "00") gives an empty text.
// "01 - Intro.mp3" 01, "Intro (5).mp3" 05, "Song [12].mp3" 12,
// "Song 12 (live).mp3" 12, "Track 12.mp3" 12, "Song.mp3" none.
QString extract_number(const QString &fileName);

} // namespace kaz
