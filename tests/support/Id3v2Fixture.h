#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

namespace kaz::test {

// ID3v2 tags built byte by byte, independent of the library the program
// reads them with: versions 2.2 to 2.4, each text encoding, unsynchronisation
// and an extended header.
struct Id3v2Spec {
    enum Encoding { Latin1 = 0, Utf16Bom = 1, Utf16BigEndian = 2, Utf8 = 3 };
    int version = 4;
    Encoding encoding = Utf8;
    bool unsynchronise = false;
    bool extendedHeader = false;
    int padding = 0;
    // Frame id (3 letters for 2.2, 4 otherwise) and text; "COMM"/"COM" frames
    // get an empty description.
    QList<std::pair<QByteArray, QString>> frames;
};

QByteArray id3v2Tag(const Id3v2Spec &spec);

// One frame of ID3v2.3 (plain size) or 2.4 (syncsafe size) with these bytes,
// and a tag of the version around a body of frames.
QByteArray id3v2Frame(int version, const char *id, const QByteArray &data, char format = 0);
QByteArray id3v2TagOf(int version, const QByteArray &body, char flags = 0);

} // namespace kaz::test
