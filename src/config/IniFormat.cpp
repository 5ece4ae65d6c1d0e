#include "IniFormat.h"

#include <QDir>

#include <algorithm>

namespace kaz::ini {
namespace {

// A plain decimal number within the range; blanks around it are allowed.
bool readInt(const QString &text, int min, int max, int *out)
{
    bool ok = false;
    const int n = text.trimmed().toInt(&ok);
    if (!ok || n < min || n > max)
        return false;
    *out = n;
    return true;
}

bool readIntValue(const QString &line, int min, int max, int *out)
{
    return readInt(valueOf(line), min, max, out);
}

// Switches are on only for exactly "true"; anything else is off.
bool readSwitch(const QString &line, bool *out)
{
    const QString v = valueOf(line);
    *out = v == QLatin1String("true");
    return *out || v == QLatin1String("false");
}

QString switchText(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

bool isControl(QStringView text)
{
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

bool readSize(KazSettings &s, const QString &line)
{
    const QString v = valueOf(line);
    const qsizetype star = v.indexOf(QLatin1Char('*'));
    const QString width = star < 0 ? v : v.left(star);
    const QString height = star < 0 ? QString() : v.mid(star + 1);
    const bool w = readInt(width, 1, 32767, &s.windowWidth);
    const bool h = readInt(height, 1, 32767, &s.windowHeight);
    return w && h;
}

bool readPosition(std::optional<int> *out, const QString &line)
{
    int n = 0;
    if (!readIntValue(line, -32768, 32767, &n))
        return false;
    *out = n;
    return true;
}

QString positionText(const std::optional<int> &p)
{
    return p ? QString::number(*p) : QString();
}

bool readSelection(KazSettings &s, const QString &line)
{
    const QString v = valueOf(line);
    bool ok = v.size() == 3;
    for (int i = 0; i < 3; ++i) {
        const int max = i == 0 ? 2 : 3;
        const int digit = i < v.size() ? v.at(i).digitValue() : -1;
        if (digit >= 0 && digit <= max)
            s.selection[size_t(i)] = digit;
        else
            ok = false;
    }
    return ok;
}

bool readJoliet(KazSettings &s, const QString &line)
{
    // The box follows the length of the whole line: 11 is "Joliet=true".
    s.joliet = line.size() == 11;
    const QString v = valueOf(line);
    return v == QLatin1String("true") || v == QLatin1String("false");
}

bool readPage(KazSettings &s, const QString &line)
{
    // Only the last character of the line counts.
    const int digit = line.isEmpty() ? -1 : line.back().digitValue();
    if (digit < 0 || digit > 2)
        return false;
    s.page = digit;
    return true;
}

bool readHints(KazSettings &s, const QString &line)
{
    const QString v = valueOf(line);
    s.showHints = v == QLatin1String("On");
    return s.showHints || v == QLatin1String("Off");
}

bool readWinamp(KazSettings &s, const QString &line)
{
    const QString v = valueOf(line);
    s.winampPath = v.isEmpty() ? QStringLiteral(".") : v;
    return true;
}

bool readLastDir(KazSettings &s, const QString &line)
{
    const QString v = valueOf(line);
    if (v.isEmpty())
        return false;
    s.lastDir = v;
    return true;
}

bool readCharacters(KazSettings &s, const QString &line)
{
    const QList<uint> codes = valueOf(line).toUcs4();
    bool ok = codes.size() == 9;
    for (size_t i = 0; i < 9; ++i) {
        if (qsizetype(i) >= codes.size()) {
            ok = false;
            continue;
        }
        const char32_t code = codes.at(qsizetype(i));
        const QString c = QString::fromUcs4(&code, 1);
        // A stand-in that is itself forbidden would let a tag value build a path.
        if (isForbiddenNameCharacter(c) || isControl(c)) {
            ok = false;
            continue;
        }
        s.replacementCharacters[i] = c;
    }
    return ok;
}

bool readDelimiter(KazSettings &s, const QString &line)
{
    const QList<uint> codes = valueOf(line).toUcs4();
    QString cut;
    for (qsizetype i = 0; i < qMin(qsizetype(3), codes.size()); ++i) {
        const char32_t code = codes.at(i);
        cut += QString::fromUcs4(&code, 1);
    }
    for (QChar c : cut) {
        if (isForbiddenNameCharacter(QStringView(&c, 1)) || c.unicode() < 0x20)
            return false;
    }
    s.delimiter = cut;
    return codes.size() <= 3;
}

QString charactersText(const KazSettings &s)
{
    QString out;
    for (const QString &c : s.replacementCharacters)
        out += c;
    return out;
}

bool readCreateDir(KazSettings &s, const QString &line)
{
    const QString v = valueOf(line);
    for (CreateDirMode m : {CreateDirMode::Artist, CreateDirMode::Album, CreateDirMode::ArtistAndAlbum}) {
        if (v == createDirKey(m)) {
            s.structure.createDir = m;
            return true;
        }
    }
    return false;
}

bool readVariousDir(KazSettings &s, const QString &line)
{
    const QString v = valueOf(line);
    // The name becomes a folder below the user's folder: it must stay one folder there.
    if (v.trimmed().isEmpty() || v == QLatin1String(".") || v == QLatin1String("..") || v.contains(QLatin1Char('/'))
        || isControl(v))
        return false;
    s.structure.variousDir = v;
    return true;
}

// Where page 2 splits every name; empty: at each name's own delimiter.
bool readSplitAt(KazSettings &s, const QString &line)
{
    const QString v = valueOf(line);
    if (v.size() > 3 || isControl(v))
        return false;
    s.fromNameSplitAt = v;
    return true;
}

#define KAZ_SWITCH(member) \
    [](KazSettings &s, const QString &l) { return readSwitch(l, &s.member); }, \
        [](const KazSettings &s) { return switchText(s.member); }, Field::Switch
#define KAZ_NUMBER(member, min, max) \
    [](KazSettings &s, const QString &l) { return readIntValue(l, min, max, &s.member); }, \
        [](const KazSettings &s) { return QString::number(s.member); }, Field::Number

const std::vector<Field> kFields{
    {"Size", "Size", 4, -1, readSize,
     [](const KazSettings &s) { return QStringLiteral("%1*%2").arg(s.windowWidth).arg(s.windowHeight); }},
    {"LastPosition_x", "LastPosition_x", 5, -1,
     [](KazSettings &s, const QString &l) { return readPosition(&s.windowLeft, l); },
     [](const KazSettings &s) { return positionText(s.windowLeft); }, Field::Number},
    {"LastPosition_y", "LastPosition_y", 6, -1,
     [](KazSettings &s, const QString &l) { return readPosition(&s.windowTop, l); },
     [](const KazSettings &s) { return positionText(s.windowTop); }, Field::Number},
    {"LastPosition", "LastPosition", 7, -1, KAZ_SWITCH(startWithLastPosition)},
    {"SelectionBoxes", "SelectionBoxes", 8, -1, readSelection,
     [](const KazSettings &s) {
         return QStringLiteral("%1%2%3").arg(s.selection[0]).arg(s.selection[1]).arg(s.selection[2]);
     }},
    {"Joliet", "Joliet", 9, -1, readJoliet, [](const KazSettings &s) { return switchText(s.joliet); }, Field::Switch},
    {"Page", "Page", 10, -1, readPage, [](const KazSettings &s) { return QString::number(s.page); }, Field::Number},
    {"Hints", "Hints", 11, -1, readHints,
     [](const KazSettings &s) { return s.showHints ? QStringLiteral("On") : QStringLiteral("Off"); }},
    {"WinAmp", "WinAmp", kWinampLine, -1, readWinamp,
     [](const KazSettings &s) { return s.winampPath.isEmpty() ? QStringLiteral(".") : s.winampPath; }},
    {"LastDir", "LastDir", 13, -1, readLastDir, [](const KazSettings &s) { return s.lastDir; }},
    {"Fontsize", "Fontsize", 14, -1, KAZ_NUMBER(fontSize, 1, 99)},
    {"Mask2", "Mask2", 15, -1, KAZ_NUMBER(tagFilter, 0, 2)},
    {"Mask3", "Mask3", 16, -1, KAZ_SWITCH(sortIgnoringNonLetters)},
    {"clean1", "Clean1", 17, -1, KAZ_SWITCH(cleanCapitalizeFirst)},
    {"clean2a", "Clean2a", 18, -1, KAZ_SWITCH(cleanFromPosition)},
    {"clean2b", "Clean2b", 19, -1, KAZ_NUMBER(cleanFromPositionNumber, 1, 999)},
    {"clean3a", "Clean3a", 20, -1, KAZ_SWITCH(cleanAfterFirst)},
    {"clean3b", "Clean3b", 21, -1, KAZ_NUMBER(cleanAfterFirstNumber, 1, 99)},
    {"clean4a", "Clean4a", 22, -1, KAZ_SWITCH(cleanBeforeLast)},
    {"clean4b", "Clean4b", 23, -1, KAZ_NUMBER(cleanBeforeLastNumber, 1, 99)},
    {"nummern1", "nummern1", 24, -1, KAZ_NUMBER(numberFixedPosition, -1, 4)},
    {"nummern2", "nummern2", 25, -1, KAZ_NUMBER(numberRelativePosition, -1, 3)},
    {"brackets", "brackets", 26, -1, KAZ_NUMBER(numberBrackets, 0, 3)},
    {"Character", "Character", kCharacterLine, -1, readCharacters, charactersText},
    {"Delimiter", "Delimiter", kDelimiterLine, -1, readDelimiter, [](const KazSettings &s) { return s.delimiter; }},
    {"CreateDir", "CreateDir", 0, 0, readCreateDir,
     [](const KazSettings &s) { return createDirKey(s.structure.createDir); }},
    {"VariousDir", "VariousDir", 0, 1, readVariousDir, [](const KazSettings &s) { return s.structure.variousDir; }},
    {"ArtistRepeatings", "ArtistRepeatings", 0, 2, KAZ_NUMBER(structure.artistRepeatings, 1, 99)},
    {"VariousRepeatings", "VariousRepeatings", 0, 3, KAZ_NUMBER(structure.variousRepeatings, 1, 99)},
    {"CDR", "CDR", 0, 4, KAZ_NUMBER(structure.cdrMegabytes, 44, 790)},
    {"useful1", "useful1", 0, 5, KAZ_SWITCH(structure.createAlbumAndSamplerDirs)},
    {"useful2", "useful2", 0, 6, KAZ_SWITCH(structure.createMultiCdDirs)},
    {"useful3", "useful3", 0, 7, KAZ_SWITCH(structure.excludeAlbumNamesForSampler)},
    {"useful4", "useful4", 0, 8, KAZ_SWITCH(structure.fitOnCdr)},
    {"show1", "show1", 0, 9, KAZ_SWITCH(structure.showOnGo)},
    {"show2", "show2", 0, 10, KAZ_SWITCH(structure.showOnCheckBox)},
    {"show3", "show3", 0, 11, KAZ_SWITCH(structure.showOnFolderMenu)},
    {"search1", "search1", 0, 12, KAZ_SWITCH(structure.searchAlbum)},
    {"search2", "search2", 0, 13, KAZ_SWITCH(structure.searchSampler)},
    {"search3", "search3", 0, 14, KAZ_SWITCH(structure.searchVarious)},
    {"ID3v2", "ID3v2", 0, -1, KAZ_SWITCH(useId3v2), &kTagSourceHeader},
    {"SplitAt", "SplitAt", 0, -1, readSplitAt, [](const KazSettings &s) { return s.fromNameSplitAt; }, Field::Text,
     &kFromNameHeader},
    {"ID3v2Write", "ID3v2Write", 0, -1,
     [](KazSettings &s, const QString &l) {
         const QString v = valueOf(l).trimmed().toLower();
         if (!kId3v2WriteModes.contains(v))
             return false;
         s.id3v2Write = v;
         return true;
     },
     [](const KazSettings &s) { return s.id3v2Write; }, Field::Text, &kTagSourceHeader},
};

#undef KAZ_SWITCH
#undef KAZ_NUMBER

bool isSectionBoundary(const QString &line)
{
    return line == kUserDirsHeader || line == kProgramsHeader || line == kStructureHeader || line == kExcludeHeader
           || line == kEnd;
}

// The index of the first section header or "[END]"; the size when none.
qsizetype firstSectionBoundary(const IniDocument &doc)
{
    for (qsizetype i = 0; i < doc.size(); ++i) {
        if (isSectionBoundary(doc.line(i)))
            return i;
    }
    return doc.size();
}

// The non-blank lines of a section.
QStringList sectionEntries(const IniDocument &doc, const QString &header)
{
    QStringList out;
    const qsizetype at = headerIndex(doc, header);
    if (at < 0)
        return out;
    const qsizetype end = sectionEnd(doc, at);
    for (qsizetype i = at + 1; i < end; ++i) {
        const QString l = doc.line(i);
        if (!l.trimmed().isEmpty())
            out.append(l);
    }
    return out;
}

QStringList userDirectoryLines(const KazSettings &s)
{
    QStringList out;
    for (size_t i = 0; i < s.userDirectories.size(); ++i) {
        if (!s.userDirectories[i].isEmpty())
            out.append(QStringLiteral("F%1=%2").arg(i + 1).arg(s.userDirectories[i]));
    }
    return out;
}

QStringList programLines(const KazSettings &s)
{
    QStringList out;
    for (const ExternalProgram &p : s.externalPrograms) {
        if (!p.isEmpty())
            out.append(p.caption + QLatin1Char('=') + p.path);
    }
    return out;
}

QStringList structureLines(const KazSettings &s)
{
    QStringList out;
    for (const Field &f : kFields) {
        if (f.structureIndex >= 0)
            out.append(f.lineText(s));
    }
    return out;
}

// The lines after "[END]" are read by key: they are the program's own, and a
// hand-edited file may hold them in any order.
void readAfterEnd(const IniDocument &doc, KazSettings &s)
{
    QString section;
    for (qsizetype i = afterEndIndex(doc); i < doc.size(); ++i) {
        const QString l = doc.line(i);
        if (l.startsWith(QLatin1Char('[')))
            section = l;
        const Field *f = findField(l.section(QLatin1Char('='), 0, 0).trimmed());
        if (f && f->isAfterEnd() && *f->section == section)
            f->read(s, l);
    }
}

} // namespace

QString Field::lineText(const KazSettings &settings, bool exitStyle) const
{
    return QString::fromLatin1(exitStyle ? exitKey : key) + QLatin1Char('=') + value(settings);
}

const std::vector<Field> &fields()
{
    return kFields;
}

const Field *findField(const QString &key)
{
    for (const Field &f : kFields) {
        if (key.compare(QLatin1String(f.key), Qt::CaseInsensitive) == 0)
            return &f;
    }
    return nullptr;
}

QString valueOf(const QString &line)
{
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    return eq < 0 ? line : line.mid(eq + 1);
}

qsizetype headerIndex(const IniDocument &doc, const QString &header)
{
    return doc.indexOf(header);
}

qsizetype sectionEnd(const IniDocument &doc, qsizetype headerAt)
{
    for (qsizetype i = headerAt + 1; i < doc.size(); ++i) {
        if (isSectionBoundary(doc.line(i)))
            return i;
    }
    return doc.size();
}

KazSettings parse(const IniDocument &doc, Language language)
{
    KazSettings s = KazSettings::defaults(kCommandLineScreen, language);
    s.windowLeft.reset();
    s.windowTop.reset();
    // Numbered lines stop at the first section: a damaged file that lost some
    // of them must not hand a header to a setting.
    const qsizetype positional = qMin(doc.size(), firstSectionBoundary(doc));
    for (const Field &f : kFields) {
        if (f.line > 0 && f.line <= positional)
            f.read(s, doc.line(f.line - 1));
    }

    const QStringList dirs = sectionEntries(doc, kUserDirsHeader);
    for (qsizetype i = 0; i < qMin(dirs.size(), qsizetype(6)); ++i)
        s.userDirectories[size_t(i)] = valueOf(dirs.at(i));

    const QStringList programs = sectionEntries(doc, kProgramsHeader);
    for (qsizetype i = 0; i < qMin(programs.size(), qsizetype(6)); ++i) {
        const QString &entry = programs.at(i);
        const qsizetype eq = entry.indexOf(QLatin1Char('='));
        // A line without "=" serves as caption and path alike, as the value rule gives.
        s.externalPrograms[size_t(i)] = {eq < 0 ? entry : entry.left(eq), valueOf(entry)};
    }

    const qsizetype structureAt = headerIndex(doc, kStructureHeader);
    if (structureAt >= 0) {
        const qsizetype end = sectionEnd(doc, structureAt);
        for (const Field &f : kFields) {
            const qsizetype at = structureAt + 1 + f.structureIndex;
            if (f.structureIndex >= 0 && at < end)
                f.read(s, doc.line(at));
        }
    }
    // An empty name would be found in every album name.
    s.structure.excludedAlbums = sectionEntries(doc, kExcludeHeader);
    readAfterEnd(doc, s);
    return s;
}

IniDocument render(const KazSettings &s)
{
    QStringList lines{kMarker, QString(), kGeneralHeader};
    for (const Field &f : kFields) {
        if (f.line > 0)
            lines.append(f.lineText(s));
    }
    lines << QString() << kUserDirsHeader;
    const QStringList dirs = userDirectoryLines(s);
    lines << (dirs.isEmpty() ? QStringList{QString()} : dirs);
    lines << kProgramsHeader;
    const QStringList programs = programLines(s);
    lines << (programs.isEmpty() ? QStringList{QString()} : programs);
    lines << renderStructureSection(s.structure);
    lines << renderAfterEnd(s);
    return IniDocument(lines);
}

QStringList renderAfterEnd(const KazSettings &s)
{
    // A section is written only while one of its settings differs from the default.
    const KazSettings defaults;
    QStringList lines;
    for (const Field &f : kFields) {
        if (!f.isAfterEnd() || f.value(s) == f.value(defaults))
            continue;
        if (!lines.contains(*f.section))
            lines << *f.section;
        lines << f.lineText(s);
    }
    return lines;
}

qsizetype afterEndIndex(const IniDocument &doc)
{
    const qsizetype end = doc.indexOf(kEnd, qMax(qsizetype(0), headerIndex(doc, kExcludeHeader)));
    return end < 0 ? doc.size() : end + 1;
}

QStringList renderGeneral(const KazSettings &s)
{
    QStringList lines{kMarker, QString(), kGeneralHeader};
    for (const Field &f : kFields) {
        if (f.line > 0 && f.line <= kLastGeneralLine)
            lines.append(f.lineText(s, true));
    }
    return lines;
}

QStringList renderUserSections(const KazSettings &s)
{
    return QStringList{kUserDirsHeader} + userDirectoryLines(s) + QStringList{kProgramsHeader} + programLines(s);
}

QStringList renderStructureSection(const StructureSettings &structure)
{
    KazSettings s;
    s.structure = structure;
    return QStringList{kStructureHeader} + structureLines(s) + QStringList{kExcludeHeader} + structure.excludedAlbums
           + QStringList{kEnd};
}

void repair(IniDocument &doc, const KazSettings &fallback)
{
    const QStringList full = render(fallback).lines();
    const qsizetype boundary = firstSectionBoundary(doc);
    if (boundary < kDelimiterLine)
        doc.insertLines(boundary, full.mid(boundary, kDelimiterLine - boundary));
    for (qsizetype i = doc.size(); i < kDelimiterLine; ++i)
        doc.setLine(i, full.at(i));

    const auto firstOf = [&doc](std::initializer_list<QString> headers) {
        qsizetype at = doc.size();
        for (const QString &h : headers) {
            const qsizetype i = headerIndex(doc, h);
            if (i >= 0)
                at = qMin(at, i);
        }
        return qMax(at, qsizetype(kDelimiterLine));
    };
    if (headerIndex(doc, kUserDirsHeader) < 0)
        doc.insertLines(firstOf({kProgramsHeader, kStructureHeader, kExcludeHeader, kEnd}),
                        QStringList{kUserDirsHeader} + userDirectoryLines(fallback));
    if (headerIndex(doc, kProgramsHeader) < 0)
        doc.insertLines(sectionEnd(doc, headerIndex(doc, kUserDirsHeader)),
                        QStringList{kProgramsHeader} + programLines(fallback));
    qsizetype structureAt = headerIndex(doc, kStructureHeader);
    if (structureAt < 0) {
        structureAt = sectionEnd(doc, headerIndex(doc, kProgramsHeader));
        doc.insertLines(structureAt, {kStructureHeader});
    }
    const QStringList values = structureLines(fallback);
    const qsizetype present = sectionEnd(doc, structureAt) - structureAt - 1;
    if (present < kStructureLineCount)
        doc.insertLines(structureAt + 1 + present, values.mid(present));
    if (headerIndex(doc, kExcludeHeader) < 0)
        doc.insertLines(sectionEnd(doc, structureAt),
                        QStringList{kExcludeHeader} + fallback.structure.excludedAlbums);
    if (doc.indexOf(kEnd, headerIndex(doc, kExcludeHeader)) < 0)
        doc.append(kEnd);
}

} // namespace kaz::ini
