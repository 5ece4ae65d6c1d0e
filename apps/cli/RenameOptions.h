#pragma once

#include "platform/Language.h"
#include "rename/RenameSettings.h"

#include <QCommandLineParser>

namespace kaz::cli {

// The page-"0" settings as command-line options, shared by rename and name.
void addRenameSettingOptions(QCommandLineParser &parser);

// The stored settings with the options applied. Prints what is wrong with a
// value and returns false.
bool renameSettingsFromOptions(const QCommandLineParser &parser, Language language, RenameSettings *settings);

// The settings a run starts from before options change them.
RenameSettings storedRenameSettings();

// A path made printable on one line (line breaks shown as \n and \r).
QString printablePath(const QString &path);

} // namespace kaz::cli
