#pragma once

#include "support/QtPrinters.h"
#include "support/TestSupport.h"

#include "structure/StructureRun.h"

namespace kaz::test {

// A tagged MP3 file at dir/name (folders created); returns its path.
QString putSong(const QString &dir, const QString &name, const QString &artist, const QString &album,
                const QString &comment = {}, int frames = 3);
// A file of any content.
QString putFile(const QString &dir, const QString &name, const QByteArray &bytes);
// A tagged file of the given size whose audio part is a hole (cheap to write).
QString putLargeSong(const QString &dir, const QString &name, const QString &artist, const QString &album,
                     qint64 size);
// Every file below dir with its content hash, by absolute path.
QMap<QString, QByteArray> hashesByPath(const QString &dir);

StructureSettings testSettings();

// Runs the operations with a scripted prompter.
struct StructureFixture {
    ScriptedPrompter prompter;
    RunState state;
    StructureSettings settings = testSettings();
    bool preview = false;

    StructureOutcome build(const QString &base);
    StructureOutcome breakUp(const QString &base, BreakMode mode);
    StructureOutcome reorganize(const QString &base);

private:
    StructureRequest request(const QString &base) const;
    StructureEnvironment environment();
};

} // namespace kaz::test
