#pragma once

#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include "structure/StructureRun.h"

namespace kaz::test {

// A tagged MP3 file at dir/name (folders created); returns its path.
QString putSong(const QString &dir, const QString &name, const QString &artist, const QString &album,
                const QString &comment = {}, int frames = 3);
// Eight songs of one album, PREFIX0.mp3 to PREFIX7.mp3: enough for an album folder.
void eightSongs(const QString &dir, const QString &artist = QStringLiteral("A"), const QString &album = QStringLiteral("X"),
                const QString &prefix = QStringLiteral("x"), const QString &comment = {});
// A tagged file of the given size whose audio part is a hole (cheap to write).
QString putLargeSong(const QString &dir, const QString &name, const QString &artist, const QString &album, qint64 size);

// Runs the operations with a scripted prompter.
struct StructureFixture {
    ScriptedPrompter prompter;
    RunState state;
    StructureSettings settings = [] {
        StructureSettings s;
        s.variousDir = QStringLiteral("Various");
        return s;
    }();
    bool preview = false;
    MediaPlayer *player = nullptr;
    RunHooks hooks; // the run's once-per-file call lets a test act in the middle of a run

    StructureOutcome build(const QString &base);
    StructureOutcome breakUp(const QString &base, BreakMode mode);
    StructureOutcome reorganize(const QString &base);

private:
    StructureRequest request(const QString &base) const;
    StructureEnvironment environment();
};

} // namespace kaz::test
