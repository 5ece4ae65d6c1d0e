#pragma once

#include "cleanup/CleanupOptions.h"

#include <QCommandLineParser>

namespace kaz::cli {

// The replacement options of page "1" as command-line options.
void addCleanupOptions(QCommandLineParser &parser);

// The options stored in KAZ.INI with the given ones applied. Prints what is
// wrong with a value and returns false.
bool cleanupOptionsFromParser(const QCommandLineParser &parser, CleanupOptions *options);

} // namespace kaz::cli
