#pragma once

#include "platform/Language.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace kaz {

// How the structure builder names its folders ("CreateDir=").
enum class CreateDirMode { Artist, Album, ArtistAndAlbum };

// One entry of the "[external programs]" section: "caption=path".
struct ExternalProgram {
    QString caption;
    QString path;

    bool isEmpty() const { return caption.isEmpty() && path.isEmpty(); }
    bool operator==(const ExternalProgram &) const = default;
};

// The settings of the "[directory structure]" section, in file order, and
// the excluded album names that follow it.
struct StructureSettings {
    CreateDirMode createDir = CreateDirMode::ArtistAndAlbum; // CreateDir
    QString variousDir = QStringLiteral("Diverse");           // VariousDir: folder for various artists
    int artistRepeatings = 8;                                 // ArtistRepeatings, 1..99
    int variousRepeatings = 4;                                // VariousRepeatings, 1..99
    int cdrMegabytes = 650;                                   // CDR, 44..790
    bool createAlbumAndSamplerDirs = true;                    // useful1
    bool createMultiCdDirs = true;                            // useful2: "CD1, CD2..." at the end of the comment
    bool excludeAlbumNamesForSampler = true;                  // useful3: apply excludedAlbums
    bool fitOnCdr = false;                                    // useful4: pack into CD-sized folders
    bool showOnGo = true;                                     // show1: dialog before "Go!" with a structure option
    bool showOnCheckBox = true;                               // show2: dialog when "create"/"reorganize" is switched on
    bool showOnFolderMenu = true;                             // show3: dialog before the folder pop-up's commands
    bool searchAlbum = true;                                  // search1
    bool searchSampler = true;                                // search2
    bool searchVarious = true;                                // search3
    QStringList excludedAlbums;                               // lines after "[exclude album-names]" up to "[END]"

    bool operator==(const StructureSettings &) const = default;
};

// Every setting that KAZ.INI holds, typed. The GUI and kaz-cli share it; the
// line a member comes from is given beside it (KAZ.INI is positional: lines
// 1 to 28 by number, the rest by section).
struct KazSettings {
    // Line 4 "Size=601*471": window width and height.
    int windowWidth = 601;
    int windowHeight = 471;
    // Lines 5 and 6: window left and top edge; empty when the file held no
    // usable number (the window is then centred).
    std::optional<int> windowLeft;
    std::optional<int> windowTop;
    // Line 7 "LastPosition=": "Start with last saved position".
    bool startWithLastPosition = true;
    // Line 8 "SelectionBoxes=012": selected item of "1st Selection" (0..2),
    // "2nd Selection" and "Automatic Sel." (0..3, 3 = none) of page 0.
    std::array<int, 3> selection{0, 1, 2};
    // Line 9 "Joliet=": names cut for CD file systems.
    bool joliet = false;
    // Line 10 "Page=0": page shown at start, 0..2.
    int page = 0;
    // Line 11 "Hints=On"/"Off": tool tips shown.
    bool showHints = true;
    // Line 12 "WinAmp=": media player executable; "." means not set.
    QString winampPath = QStringLiteral(".");
    // Line 13 "LastDir=": folder shown at start.
    QString lastDir;
    // Line 14 "Fontsize=": point size of the file list font.
    int fontSize = 8;
    // Line 15 "Mask2=": tagged/untagged/all filter state 0..2, and line 16
    // "Mask3=": sort ignoring leading non-letters. They record the state at
    // exit only: the browser always starts with "*.mp3" and the filter "all".
    int tagFilter = 0;
    bool sortIgnoringNonLetters = false;
    // Lines 17 to 23: the cleanup options of page 1.
    bool cleanCapitalizeFirst = true; // clean1
    bool cleanFromPosition = false;   // clean2a
    int cleanFromPositionNumber = 1;  // clean2b, 1..999
    bool cleanAfterFirst = false;     // clean3a
    int cleanAfterFirstNumber = 1;    // clean3b, 1..99
    bool cleanBeforeLast = false;     // clean4a
    int cleanBeforeLastNumber = 1;    // clean4b, 1..99
    // Lines 24 to 26: the numbering dialog. Fixed position -1 (none) or 0..4,
    // relative position -1 (none) or 0..3, brackets 0 none, 1 [], 2 {}, 3 ().
    int numberFixedPosition = 0;     // nummern1
    int numberRelativePosition = -1; // nummern2
    int numberBrackets = 0;          // brackets
    // Line 27 "Character=": the characters that stand in for \ / : * " ? < > |
    // in that order, one each.
    std::array<QString, 9> replacementCharacters{
        QStringLiteral("_"), QStringLiteral("_"), QStringLiteral("_"), QStringLiteral(" "), QStringLiteral(" "),
        QStringLiteral(" "), QStringLiteral("-"), QStringLiteral("-"), QStringLiteral("_")};
    // Line 28 "Delimiter=": between the fields of a composed name, 1..3 characters.
    QString delimiter = QStringLiteral(" - ");
    // "[userdefined directories]": favourite folders, slots 1..6 (empty = free).
    std::array<QString, 6> userDirectories;
    // "[external programs]": slots 1..6.
    std::array<ExternalProgram, 6> externalPrograms;
    // "[directory structure]" and "[exclude album-names]".
    StructureSettings structure;
    // Not in the positional layout: stored after "[END]", where older readers never look
    // ("[tag source]", "ID3v2=true"; written only when on): use the ID3v2 tag
    // of a file that has no ID3v1 tag.
    bool useId3v2 = false;
    // ("[filename to tag]", "SplitAt=", written only when set): the delimiter
    // page 2 splits every file name at, 1 to 3 characters; empty: each name's own.
    QString fromNameSplitAt;
    // ("[tag source]", "ID3v2Write=add"; written only when not the default):
    // what tag writes do with a file's ID3v2 tag, "update" (the tag of files
    // that have one), "add" (files without one get one too) or "off" (left
    // alone).
    QString id3v2Write = QStringLiteral("update");

    // The settings of a freshly written file: the window centred on a screen
    // of the given size, the start folder the user's home, and the
    // various-artists folder named for the language.
    static KazSettings defaults(QSize screen, Language language);

    // The settings that dialogs write into the file while the program runs
    // (line 12, lines 27 and 28, the user sections and the structure
    // section) taken over from a re-read file; the rest stays as it is.
    void takeDialogSettingsFrom(const KazSettings &reread);

    bool operator==(const KazSettings &) const = default;
};

// Stand-in for the screen when no window system is asked (kaz-cli).
inline constexpr QSize kCommandLineScreen{1024, 768};

// The nine characters a file name may not hold, in the order of line 27.
inline constexpr std::array<char16_t, 9> kForbiddenNameCharacters{u'\\', u'/', u':', u'*', u'"',
                                                                  u'?', u'<', u'>', u'|'};
bool isForbiddenNameCharacter(QStringView character);

QString createDirKey(CreateDirMode mode);

} // namespace kaz
