#pragma once

#include <QString>

#include <vector>

namespace kaz {

// Where the builder sorts a file.
enum class StructureClass {
    Counted,       // still a count: in no group yet
    AlbumGroup,    // "aa": artist (and album) folder
    Sampler,       // "al": album of several artists
    ArtistVarious, // "vaar": loose songs of an artist with enough of them
    Various,       // "va": the shared folder for various songs
    Stay,          // "z": its search is off; stays in the base folder
};

// The mark a class has in the work tables and in kaz-cli's output.
const char *classMark(StructureClass cls);

// One file of the builder's table, as its tag gave it.
struct StructureRow {
    QString artist;  // long artist, the nine forbidden characters replaced
    QString album;   // long album, likewise
    QString multiCd; // "CD 2" and the like; empty for none
    qint64 size = 0;
    bool audio = true; // false for a picture file
};

struct StructurePlacement {
    StructureClass cls = StructureClass::Counted;
    qint64 count = 0; // the count while cls is Counted
    qint64 groupSize = 0;
    int cd = -1; // CD number from 1, or -1 for none
};

// Where every row goes, and the CD folders' fill.
struct StructurePlan {
    std::vector<StructurePlacement> rows;
    std::vector<qint64> cdUsed; // used bytes of CD 1, 2, ...
    bool tooBig = false;        // a group does not fit on one CD
};

} // namespace kaz
