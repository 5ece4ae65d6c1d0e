#pragma once

#include <QString>

#include <initializer_list>

namespace kaz {

// The parts of a path written with "/": for "/m/Queen/Song.mp3" the file
// name "Song.mp3", the folder "/m/Queen/" (with its slash; "" for a bare
// name) and the parent "/m/Queen" (without; "/" for the root's own files).
QString fileNameOf(const QString &path);
QString folderOf(const QString &path);
QString parentOf(const QString &path);

// Whether path is absolute and already as QDir::cleanPath() leaves it (no
// "." or ".." parts, no doubled or closing slash): a long list given in full
// paths then needs no work per file.
bool isCleanAbsolutePath(QStringView path);

// The parts one after another, in one block of the exact size: a run over
// many thousand files makes each path in one piece.
QString joined(std::initializer_list<QStringView> parts);

} // namespace kaz
