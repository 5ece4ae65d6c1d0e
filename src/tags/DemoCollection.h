#pragma once

#include "TagRecord.h"
#include "platform/TextCodec.h"

#include <QByteArray>
#include <QList>
#include <QString>

namespace kaz {

// One MP3 file to be generated: a few real MPEG-1 Layer III frames, then an
// optional Lyrics3 block for long values, then an optional ID3v1.1 tag.
struct DemoFile {
    QString relativePath;
    bool tagged = true;
    TagValues values;
    QList<QByteArray> extraLyrics3Fields; // whole fields, e.g. "LYR00005hello"
    bool forceLyrics3 = false;            // a block even when every value fits
    int frames = 4;
};

struct DemoOptions {
    int count = 60;
    bool tree = true; // spread over a folder tree
    quint32 seed = 1;
};

// Silent MPEG-1 Layer III frames, 128 kbit/s, 44.1 kHz (417 bytes each).
QByteArray mp3Frames(int count);

// The bytes of a generated file.
QByteArray demoFileBytes(const DemoFile &file, const TextCodec &codec = defaultTextCodec());

// Writes one generated file below dir, creating folders on the way.
bool writeDemoFile(const QString &dir, const DemoFile &file, QString *error = nullptr);

// A varied collection: umlauts, characters no file name may hold, empty
// artists, untagged files, long titles for Lyrics3, samplers.
QList<DemoFile> planDemoCollection(const DemoOptions &options);

// Writes the planned collection below dir; returns the number of files written.
int createDemoCollection(const QString &dir, const DemoOptions &options, QString *error = nullptr);

} // namespace kaz
