#pragma once

#include <QString>
#include <QStringList>

namespace kaz {

// The ID3v1 genre table: 256 entries, names for 0 to 144, empty beyond.
QString genreName(int number);
// The last number whose name equals the given one; an empty name gives 255,
// an unknown name -1.
int genreNumber(const QString &name);
// The 145 names sorted for a choice box.
QStringList sortedGenreNames();

} // namespace kaz
