#include "ConfigFile.h"

#include "IniFormat.h"

#include "platform/Messages.h"
#include "platform/Paths.h"
#include "platform/Registry.h"

#include <QFileInfo>

namespace kaz {
namespace {

// The user's lines of an older file: from three lines above its
// "[userdefined directories]" (its character and delimiter lines and a
// blank) to its first "[END]", behind the general block of a new file.
IniDocument convertedDocument(const IniDocument &old, const IniContext &context)
{
    const IniDocument fresh = ini::render(KazSettings::defaults(context.screen, context.language));
    const qsizetype userAt = ini::headerIndex(old, ini::kUserDirsHeader);
    if (userAt < 0)
        return fresh; // nothing of the user's can be told apart
    QStringList lines = fresh.lines().first(ini::kLastGeneralLine);
    // Where the old file has fewer than three lines above the header, the new file's lines stand in.
    for (qsizetype i = userAt - 3; i < userAt; ++i)
        lines.append(i >= 0 ? old.line(i) : fresh.line(ini::kLastGeneralLine + (i - userAt + 3)));
    const qsizetype end = old.indexOf(ini::kEnd, userAt);
    for (qsizetype i = userAt; i < (end < 0 ? old.size() : end); ++i)
        lines.append(old.line(i));
    lines.append(ini::kEnd);
    IniDocument converted(lines);
    // Sections the old file never had come from the defaults.
    ini::repair(converted, ini::parse(converted, context.language));
    return converted;
}

void tell(const IniContext &context, MessageKind kind, const QString &text)
{
    if (context.prompter)
        context.prompter->inform(kind, text);
}

// The fallback for lines a damaged file lacks.
KazSettings fallbackFor(const IniDocument &doc)
{
    return ini::parse(doc, storedLanguage());
}

qsizetype structureLineIndex(const IniDocument &doc, int structureIndex)
{
    return ini::headerIndex(doc, ini::kStructureHeader) + 1 + structureIndex;
}

// The file's lines; the defaults when it is missing.
IniDocument storedDocument(const QString &path)
{
    bool exists = false;
    IniDocument doc = IniDocument::read(path, &exists);
    return exists ? doc : ini::render(KazSettings::defaults(kCommandLineScreen, storedLanguage()));
}

// The lines as the patchers start from them: every line and section the file
// lacks filled in.
IniDocument repaired(IniDocument doc)
{
    ini::repair(doc, fallbackFor(doc));
    return doc;
}

// Rewrites the sections after "[END]" from the settings.
IniDocument withAfterEnd(const IniDocument &stored, const KazSettings &settings)
{
    IniDocument doc = repaired(stored);
    doc.truncate(ini::afterEndIndex(doc));
    doc.insertLines(doc.size(), ini::renderAfterEnd(settings));
    return doc;
}

bool patchAfterEnd(const QString &path, const KazSettings &settings, QString *problem)
{
    return withAfterEnd(storedDocument(path), settings).write(path, problem);
}

IniDocument patched(const IniDocument &stored, const std::function<void(IniDocument &)> &change)
{
    IniDocument doc = repaired(stored);
    // The dialogs' patches end the file with "[END]"; what follows it stays.
    const qsizetype afterEnd = ini::afterEndIndex(doc);
    const QStringList tail = doc.lines().mid(afterEnd);
    doc.truncate(afterEnd);
    change(doc);
    doc.insertLines(doc.size(), tail);
    return doc;
}

} // namespace

QString iniPath()
{
    return configFolder() + QStringLiteral("/KAZ.INI");
}

bool createDefaultIni(const QString &path, const IniContext &context, QString *problem)
{
    return ini::render(KazSettings::defaults(context.screen, context.language)).write(path, problem);
}

bool convertOldIni(const QString &path, const IniContext &context, QString *problem)
{
    const bool written = convertedDocument(IniDocument::read(path), context).write(path, problem);
    tell(context, MessageKind::Error, message(Msg::OldIniFile, context.language));
    return written;
}

KazSettings loadIni(const QString &path, const IniContext &context, bool *converted)
{
    bool exists = false;
    QString problem;
    IniDocument doc = IniDocument::read(path, &exists, &problem);
    if (converted)
        *converted = false;
    if (!problem.isEmpty())
        tell(context, MessageKind::Warning, problem);
    if (!exists)
        return KazSettings::defaults(context.screen, context.language);
    if (doc.line(0) != ini::kMarker) {
        doc = currentLayout(doc, context);
        QString writeProblem;
        const bool written = doc.write(path, &writeProblem);
        tell(context, MessageKind::Error, message(Msg::OldIniFile, context.language));
        if (!written)
            tell(context, MessageKind::Error, message(Msg::SettingsNotWritten, context.language) + writeProblem);
        if (converted)
            *converted = true;
    }
    return ini::parse(doc, context.language);
}

IniDocument currentLayout(const IniDocument &doc, const IniContext &context)
{
    return doc.line(0) == ini::kMarker ? doc : convertedDocument(doc, context);
}

bool writeIniOnExit(const QString &path, const KazSettings &settings, QString *problem)
{
    return exitDocument(IniDocument::read(path), settings).write(path, problem);
}

IniDocument exitDocument(IniDocument doc, const KazSettings &settings)
{
    if (doc.size() <= ini::kLastGeneralLine) {
        // The file lost everything the dialogs wrote: the settings still hold it.
        doc = ini::render(settings);
    } else {
        doc.truncate(doc.indexOf(ini::kEnd, ini::kLastGeneralLine));
        doc.append(ini::kEnd);
    }
    const QStringList general = ini::renderGeneral(settings);
    for (qsizetype i = 0; i < general.size(); ++i)
        doc.setLine(i, general.at(i));
    ini::repair(doc, settings);
    doc.truncate(ini::afterEndIndex(doc));
    doc.insertLines(doc.size(), ini::renderAfterEnd(settings));
    return doc;
}

bool patchIni(const QString &path, const std::function<void(IniDocument &)> &change, QString *problem)
{
    return patched(storedDocument(path), change).write(path, problem);
}

bool patchTagSource(const QString &path, bool useId3v2, QString *problem)
{
    KazSettings s = ini::parse(IniDocument::read(path), storedLanguage());
    s.useId3v2 = useId3v2;
    return patchAfterEnd(path, s, problem);
}

bool patchId3v2Write(const QString &path, const QString &mode, QString *problem)
{
    return setIniValue(path, QStringLiteral("ID3v2Write"), mode, problem) == SetResult::Done;
}

bool patchWinampPath(const QString &path, const QString &winampPath, QString *problem)
{
    return patchIni(
        path,
        [&](IniDocument &doc) {
            doc.setLine(ini::kWinampLine - 1,
                        QStringLiteral("WinAmp=") + (winampPath.isEmpty() ? QStringLiteral(".") : winampPath));
        },
        problem);
}

bool patchCharactersAndDelimiter(const QString &path, const std::array<QString, 9> &characters,
                                 const QString &delimiter, QString *problem)
{
    QString joined;
    for (const QString &c : characters)
        joined += c;
    return patchIni(path, [&](IniDocument &doc) {
        doc.setLine(ini::kCharacterLine - 1, QStringLiteral("Character=") + joined);
        doc.setLine(ini::kDelimiterLine - 1, QStringLiteral("Delimiter=") + delimiter);
    }, problem);
}

bool patchUserSections(const QString &path, const std::array<QString, 6> &directories,
                       const std::array<ExternalProgram, 6> &programs, QString *problem)
{
    KazSettings s;
    s.userDirectories = directories;
    s.externalPrograms = programs;
    const QStringList rendered = ini::renderUserSections(s);
    const qsizetype programsAt = rendered.indexOf(ini::kProgramsHeader);
    const QStringList userPart = rendered.first(programsAt);
    const QStringList programPart = rendered.mid(programsAt);
    return patchIni(path, [&](IniDocument &doc) {
        const auto replaceSection = [&doc](const QString &header, const QStringList &with) {
            const qsizetype at = ini::headerIndex(doc, header);
            doc.removeLines(at, ini::sectionEnd(doc, at) - at);
            doc.insertLines(at, with);
        };
        // The later section first, so that the earlier one's position still holds.
        if (ini::headerIndex(doc, ini::kProgramsHeader) > ini::headerIndex(doc, ini::kUserDirsHeader)) {
            replaceSection(ini::kProgramsHeader, programPart);
            replaceSection(ini::kUserDirsHeader, userPart);
        } else {
            replaceSection(ini::kUserDirsHeader, userPart);
            replaceSection(ini::kProgramsHeader, programPart);
        }
    }, problem);
}

bool patchStructureSection(const QString &path, const StructureSettings &structure, QString *problem)
{
    return patchIni(path, [&](IniDocument &doc) {
        const auto removeSection = [&doc](const QString &header) {
            const qsizetype at = ini::headerIndex(doc, header);
            if (at >= 0)
                doc.removeLines(at, ini::sectionEnd(doc, at) - at);
            return at;
        };
        removeSection(ini::kExcludeHeader);
        const qsizetype at = removeSection(ini::kStructureHeader);
        // Anything between the structure section and "[END]" (only a hand-edited
        // file has it) stays; the structure section closes the file.
        doc.truncate(doc.indexOf(ini::kEnd, at));
        doc.insertLines(doc.size(), ini::renderStructureSection(structure));
    }, problem);
}

bool removeUserEntry(const QString &path, const QString &value, QString *problem)
{
    bool removed = false;
    const bool written = patchIni(path, [&](IniDocument &doc) {
        for (const QString &header : {ini::kUserDirsHeader, ini::kProgramsHeader}) {
            const qsizetype at = ini::headerIndex(doc, header);
            const qsizetype end = ini::sectionEnd(doc, at);
            for (qsizetype i = at + 1; i < end && !removed; ++i) {
                const QString line = doc.line(i);
                if (!line.trimmed().isEmpty() && ini::valueOf(line) == value) {
                    doc.removeLines(i, 1);
                    removed = true;
                }
            }
        }
    }, problem);
    return written && removed;
}

SetResult setIniValue(const QString &path, const QString &key, const QString &value, QString *problem)
{
    IniDocument doc = storedDocument(path);
    const SetResult result = setIniValue(doc, key, value);
    if (result != SetResult::Done)
        return result;
    return doc.write(path, problem) ? SetResult::Done : SetResult::WriteFailed;
}

SetResult setIniValue(IniDocument &doc, const QString &key, const QString &value)
{
    const ini::Field *field = ini::findField(key);
    if (!field)
        return SetResult::UnknownKey;
    if (value.contains(QLatin1Char('\n')) || value.contains(QLatin1Char('\r')))
        return SetResult::BadValue;
    const QString line = QString::fromLatin1(field->key) + QLatin1Char('=') + value;
    KazSettings probe;
    if (!field->read(probe, line))
        return SetResult::BadValue;
    if (field->isAfterEnd()) {
        KazSettings s = ini::parse(doc, storedLanguage());
        field->read(s, line);
        doc = withAfterEnd(doc, s);
        return SetResult::Done;
    }
    doc = patched(doc, [&](IniDocument &lines) {
        KazSettings s = ini::parse(lines, storedLanguage());
        field->read(s, line);
        const qsizetype at = field->line > 0 ? field->line - 1 : structureLineIndex(lines, field->structureIndex);
        lines.setLine(at, field->lineText(s));
    });
    return SetResult::Done;
}

} // namespace kaz
