#pragma once

#include "support/TestSupport.h"

#include "rename/RenameRun.h"
#include "tags/TagRecord.h"

#include <QDir>
#include <QStringList>

namespace kaz::test {

// The content hashes of a tree, without paths, sorted: equal lists mean no
// file was lost, duplicated or changed.
QList<QByteArray> hashesOnly(const QString &dir);

// Settings for names of artist and title only.
RenameSettings artistTitle();

// A run with a scripted prompter that records what it was shown.
struct RunFixture {
    ScriptedPrompter prompter;
    RunState state;
    MediaPlayer *player = nullptr;

    RenameOutcome run(const RenameSettings &settings, const QString &start, const QStringList &selection,
                      bool preview = false, bool usePreviewList = false);
};

} // namespace kaz::test
