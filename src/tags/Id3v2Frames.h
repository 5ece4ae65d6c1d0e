#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

namespace kaz::id3v2 {

// The texts of the frames KAZ uses, as the first frame of each id holds
// them; the genre as the list of its fields, "(17)Rock" already split as
// TagLib splits it.
struct FrameTexts {
    int version = 0;
    QString title, artist, album, recordingDate, track, comment;
    QStringList genreFields;

    bool operator==(const FrameTexts &) const = default;
};

// Reads the common tag without TagLib: ID3v2.3 or 2.4 without
// unsynchronisation, extended header, compressed, encrypted or grouped
// frames, each frame whole inside the tag, and texts of one field each in
// one of the four text encodings, characters of the Basic Multilingual Plane
// only. It gives exactly what TagLib gives for such a tag, and nothing for
// every other tag (TagLib reads those). bytes: the tag, header first, whole
// or its start; from a start that ends before the tag's frames (and its
// padding) do, nothing.
std::optional<FrameTexts> readCommonFrames(QByteArrayView bytes);

} // namespace kaz::id3v2
