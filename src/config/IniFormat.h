#pragma once

#include "IniDocument.h"
#include "KazSettings.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kaz {

// The layout of KAZ.INI. Lines 1 to 28 are positional; after them come
// sections found by their headers: the favourite folders, the external
// programs, the fifteen positional lines of the directory structure and the
// excluded album names, closed by "[END]".
namespace ini {

inline const QString kMarker = QStringLiteral("V3.5");
inline const QString kGeneralHeader = QStringLiteral("[general]");
inline const QString kUserDirsHeader = QStringLiteral("[userdefined directories]");
inline const QString kProgramsHeader = QStringLiteral("[external programs]");
inline const QString kStructureHeader = QStringLiteral("[directory structure]");
inline const QString kExcludeHeader = QStringLiteral("[exclude album-names]");
inline const QString kEnd = QStringLiteral("[END]");
// Settings the positional layout has no line for live in sections after
// "[END]", which older readers of the file never reach and their writers
// drop; a file without them means every such setting is off.
inline const QString kTagSourceHeader = QStringLiteral("[tag source]");
inline const QString kFromNameHeader = QStringLiteral("[filename to tag]");
// The values of "ID3v2Write=" in that section, the default first.
inline const QStringList kId3v2WriteModes{QStringLiteral("update"), QStringLiteral("add"), QStringLiteral("off")};

// 1-based numbers of the lines other code patches by position.
inline constexpr int kWinampLine = 12;
inline constexpr int kLastGeneralLine = 26; // the exit writer rewrites 1..26
inline constexpr int kCharacterLine = 27;
inline constexpr int kDelimiterLine = 28;
inline constexpr int kStructureLineCount = 15;

// One setting of the positional lines or of the structure section.
struct Field {
    enum Kind { Text, Number, Switch };

    const char *key;     // as the default file writes it
    const char *exitKey; // as the exit writer writes it (differs for clean1..clean4b)
    int line;            // 1-based line number, or 0 for a structure line or one after "[END]"
    int structureIndex;  // 0..14 below "[directory structure]", or -1
    // Applies the line to the settings as the loader reads it; false when the
    // value was not usable (the setting then keeps what it had, except for
    // switches, which are off for anything but "true").
    bool (*read)(KazSettings &settings, const QString &line);
    QString (*value)(const KazSettings &settings);
    Kind kind = Text; // how the value reads as a typed value
    const QString *section = nullptr; // the header of a setting after "[END]"

    QString lineText(const KazSettings &settings, bool exitStyle = false) const;
    // A setting of the sections after "[END]".
    bool isAfterEnd() const { return line == 0 && structureIndex < 0; }
};

const std::vector<Field> &fields();
// The field with that key, letter case ignored; nullptr when there is none.
const Field *findField(const QString &key);

// The text after the first "=", or the whole line when it has none.
QString valueOf(const QString &line);

// Index of a section's header, searched after the positional lines; -1 when missing.
qsizetype headerIndex(const IniDocument &doc, const QString &header);
// One past the last line of the section that starts with the header at
// index: the next header, "[END]" or the end of the file.
qsizetype sectionEnd(const IniDocument &doc, qsizetype headerAt);

// Reads every setting; what is missing or unusable keeps its default (the
// various-artists folder's default follows the language).
KazSettings parse(const IniDocument &doc, Language language);

// The whole file for these settings, in the layout of a new file.
IniDocument render(const KazSettings &settings);
// Lines 1 to 26 as the exit writer writes them.
QStringList renderGeneral(const KazSettings &settings);
// The two middle sections, headers included, without blank lines.
QStringList renderUserSections(const KazSettings &settings);
// "[directory structure]" up to and including "[END]".
QStringList renderStructureSection(const StructureSettings &structure);
// The sections after "[END]": nothing while every setting there is off.
QStringList renderAfterEnd(const KazSettings &settings);
// Index of the line after the "[END]" that closes the positional layout; the
// size when there is none.
qsizetype afterEndIndex(const IniDocument &doc);

// Fills in what a damaged file lacks so that every line and section is where
// readers look for it: missing lines up to 28, missing section headers, the
// structure lines and "[END]", taken from the settings given.
void repair(IniDocument &doc, const KazSettings &fallback);

} // namespace ini
} // namespace kaz
