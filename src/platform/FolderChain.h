#pragma once

#include "FileOps.h"

#include <QString>

#include <functional>

namespace kaz {

// Makes sure that folder, which lies below top, is a chain of real folders
// from top down: no part of it may be a symbolic link (it is never
// followed) or anything else but a folder. Missing parts are made one at a
// time when beforeMaking is given; it is told each folder before it is made
// (so that a run can log it first) and may refuse by returning false.
// Without it a missing part fails with ENOENT. A link or file in the way
// fails with ELOOP or ENOTDIR. top itself is taken as it is.
FsStatus ensureRealFolder(const QString &top, const QString &folder,
                          const std::function<bool(const QString &)> &beforeMaking = {});

} // namespace kaz
