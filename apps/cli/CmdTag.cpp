// kaz-cli tag show / set / strip / from-v2: reading, writing and removing ID3v1 tags and Lyrics3
// fields, and writing them from a file's ID3v2 tag.
#include "CliCommand.h"
#include "CliSupport.h"
#include "JsonLine.h"

#include "tags/Genres.h"
#include "tags/Id3v1.h"
#include "tags/Id3v2Conversion.h"
#include "tags/TagIO.h"
#include "tags/TagStrip.h"

#include <QFileInfo>

#include <cerrno>
#include <optional>


namespace kaz::cli {
namespace {

QString versionText(const Id3v2Values &v)
{
    return QStringLiteral("2.%1").arg(v.version);
}

JsonLine id3v2Json(const Id3v2Values &v)
{
    return JsonLine()
        .add("version", versionText(v))
        .add("title", v.title)
        .add("artist", v.artist)
        .add("album", v.album)
        .add("year", v.recordingDate)
        .add("track", v.track)
        .add("genre", v.genre)
        .add("comment", v.comment);
}

void appendTagJson(QByteArray &out, JsonLine &json, const QString &file, const TagRecord &t)
{
    json.clear();
    json.add("file", file)
        .add("tagged", t.tagged)
        .add("title", t.title)
        .add("artist", t.artist)
        .add("album", t.album)
        .add("year", t.year)
        .add("comment", t.comment)
        .add("track", int(t.track))
        .add("trackText", t.trackText)
        .add("genre", int(t.genre))
        .add("genreName", genreName(t.genre))
        .add("longTitle", t.longTitle)
        .add("longArtist", t.longArtist)
        .add("longAlbum", t.longAlbum)
        .add("hasLyrics3", t.hasLyrics3)
        .add("lyrics3Size", t.lyrics3Size)
        .add("fileSize", t.fileSize)
        .add("fromId3v2", t.fromId3v2);
    if (t.id3v2)
        json.add("id3v2", id3v2Json(*t.id3v2));
    json.appendLineTo(out);
}

QString tagText(const QString &file, const TagRecord &t)
{
    // Tag texts can hold anything, escape sequences too: never raw to a terminal.
    if (!t.hasTag())
        return visibleControls(file)
               + (t.id3v2 ? QStringLiteral("\n  (no ID3v1 tag; an ID3v2.%1 tag, which --id3v2 reads)\n").arg(t.id3v2->version)
                          : QStringLiteral("\n  (no tag)\n"));
    const auto line = [](const char *label, const QString &value) {
        return QStringLiteral("  %1%2\n").arg(QString::fromLatin1(label).leftJustified(9), visibleControls(value));
    };
    QString text = visibleControls(file) + QLatin1Char('\n');
    text += line("title:", t.longTitle);
    text += line("artist:", t.longArtist);
    text += line("album:", t.longAlbum);
    text += line("year:", t.year);
    text += line("comment:", t.comment);
    text += line("track:", t.trackText);
    text += line("genre:", QStringLiteral("%1 (%2)").arg(genreName(t.genre)).arg(t.genre));
    if (t.hasLyrics3)
        text += line("lyrics3:", QStringLiteral("%1 bytes").arg(t.lyrics3Size));
    if (t.fromId3v2)
        text += line("source:", QStringLiteral("ID3v2.%1 (the file has no ID3v1 tag)").arg(t.id3v2->version));
    return text;
}

void reportUnreadable(const QString &file, const FsStatus &status)
{
    err(QStringLiteral("kaz-cli: cannot read %1: %2\n").arg(visibleControls(file), status.errorText()));
}

int runShow(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per file and line.")});
    addFilesFromOption(parser);
    addTagSourceOptions(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("MP3 files to read."), QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Prints the ID3v1 tag and Lyrics3 fields of each file, and with --json the\n"
                                         "file's ID3v2 tag as an \"id3v2\" object when it has one."),
                          &exitCode))
        return exitCode;
    QStringList files;
    if (!commandFiles(parser, QStringLiteral("tag show needs at least one file\n"), &files, &exitCode))
        return exitCode;
    TerminalPrompter prompter;
    TagContext context;
    context.prompter = &prompter;
    context.language = chosenLanguage(parser);
    context.useId3v2 = useId3v2(parser);
    const bool json = parser.isSet(QStringLiteral("json"));
    context.reportId3v2 = true;
    QByteArray line; // one buffer for every line
    JsonLine object;
    for (const QString &file : files) {
        FsStatus status;
        const TagRecord tag = readTag(file, context, &status);
        if (!status.ok()) {
            reportUnreadable(file, status);
            exitCode = ExitFileError;
            continue;
        }
        if (json) {
            line.resize(0);
            appendTagJson(line, object, file, tag);
            outBytes(line);
        } else
            out(tagText(file, tag));
    }
    return exitCode;
}

bool parseGenre(const QString &text, quint8 *genre)
{
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber) {
        if (number < 0 || number > 255)
            return false;
        *genre = quint8(number);
        return true;
    }
    for (int n = 0; n < 256; ++n) {
        if (!text.isEmpty() && genreName(n).compare(text, Qt::CaseInsensitive) == 0) {
            *genre = quint8(n);
            return true;
        }
    }
    return false;
}

int runSet(const QStringList &arguments)
{
    QCommandLineParser parser;
    const auto option = [&](const char *name, const char *help, const char *value) {
        parser.addOption({QString::fromLatin1(name), QString::fromLatin1(help), QString::fromLatin1(value)});
    };
    option("title", "Title; over 30 characters goes into the Lyrics3 block.", "T");
    option("artist", "Artist; over 30 characters goes into the Lyrics3 block.", "A");
    option("album", "Album; over 30 characters goes into the Lyrics3 block.", "B");
    option("comment", "Comment (30 characters; 28 with a track number).", "C");
    option("year", "Year (4 characters).", "Y");
    option("track", "Track number 1 to 255.", "N");
    option("genre", "Genre by name or number 0 to 255.", "NAME|NUMBER");
    addId3v2WriteOption(parser);
    addFilesFromOption(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("MP3 files to tag."), QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Writes tag values into each file. A value left out (or empty) keeps the\n"
                                         "file's own; an untagged file receives a tag. The ID3v2 tag at the start\n"
                                         "gets the values too, whole, as --id3v2-write says."),
                          &exitCode))
        return exitCode;
    QStringList files;
    if (!commandFiles(parser, QStringLiteral("tag set needs at least one file\n"), &files, &exitCode))
        return exitCode;
    TagOverride values;
    values.title = parser.value(QStringLiteral("title"));
    values.artist = parser.value(QStringLiteral("artist"));
    values.album = parser.value(QStringLiteral("album"));
    values.comment = parser.value(QStringLiteral("comment"));
    values.year = parser.value(QStringLiteral("year"));
    if (parser.isSet(QStringLiteral("track"))) {
        values.trackText = parser.value(QStringLiteral("track"));
        if (id3v1::trackFromText(values.trackText) == 0) {
            err(QStringLiteral("--track takes a number from 1 to 255\n"));
            return ExitUsage;
        }
    }
    if (parser.isSet(QStringLiteral("genre"))) {
        if (!parseGenre(parser.value(QStringLiteral("genre")), &values.genre)) {
            err(QStringLiteral("unknown genre '%1'\n").arg(parser.value(QStringLiteral("genre"))));
            return ExitUsage;
        }
        values.forceGenre = true;
    }
    id3v2::WriteMode id3v2Write = id3v2::WriteMode::Update;
    if (!id3v2WriteMode(parser, &id3v2Write))
        return ExitUsage;
    TerminalPrompter prompter;
    TagContext context;
    context.prompter = &prompter;
    context.language = chosenLanguage(parser);
    // Written in groups: one journal flush and one file flush for many files.
    TagWriteBatch batch(*context.codec, id3v2Write);
    for (const QString &file : files) {
        FsStatus readStatus;
        const TagRecord current = readTag(file, context, &readStatus);
        if (!readStatus.ok()) {
            reportUnreadable(file, readStatus);
            exitCode = ExitFileError;
            continue;
        }
        batch.add(file, current, valuesToWrite(current, &values), [file, &exitCode](const FsStatus &status) {
            if (status.ok())
                return;
            err(QStringLiteral("kaz-cli: cannot write %1: %2\n").arg(visibleControls(file), status.errorText()));
            exitCode = ExitFileError;
        });
    }
    batch.commit();
    return exitCode;
}

int runStrip(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per file and line.")});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("MP3 files to strip."), QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Removes the ID3v1 tag and a Lyrics3 block in front of it from each file.\n"
                                         "Only the end changes: an ID3v2 tag at the start stays as it is.\n"
                                         "The audio data stays byte for byte; a file without a tag is left as it is.\n"
                                         "Read-only files are reported, not made writable."),
                          &exitCode))
        return exitCode;
    const QStringList files = parser.positionalArguments();
    if (files.isEmpty()) {
        err(QStringLiteral("tag strip needs at least one file\n"));
        return ExitUsage;
    }
    TerminalPrompter prompter;
    TagContext context;
    context.prompter = &prompter;
    context.quietWhenShort = true; // a short file has no tag: said below
    context.language = chosenLanguage(parser);
    const bool json = parser.isSet(QStringLiteral("json"));
    for (const QString &file : files) {
        const QFileInfo info(file);
        StripResult result;
        // Read-only by its mode, also for a user (root) whom the system lets write.
        if (info.isFile() && !(info.permissions() & QFileDevice::WriteOwner))
            result.status = FsStatus::fromErrno(EACCES);
        else
            result = stripTag(file, context);
        if (!result.status.ok()) {
            err(QStringLiteral("kaz-cli: cannot strip %1: %2\n").arg(file, result.status.errorText()));
            exitCode = ExitFileError;
        }
        if (json)
            outBytes(JsonLine()
                         .add("file", file)
                         .add("stripped", result.hadTag && result.status.ok())
                         .add("hadTag", result.hadTag)
                         .add("removed", result.status.ok() ? result.removed : 0)
                         .add("error", result.status.ok() ? QString() : result.status.errorText())
                         .line());
        else if (result.status.ok())
            out(result.hadTag ? QStringLiteral("stripped %1 (%2 bytes)\n").arg(file).arg(result.removed)
                              : QStringLiteral("no tag: %1 (left as it is)\n").arg(file));
    }
    return exitCode;
}

const char *outcomeKey(ConversionOutcome outcome)
{
    switch (outcome) {
    case ConversionOutcome::Written:
        return "written";
    case ConversionOutcome::KeptId3v1:
        return "kept";
    case ConversionOutcome::NoId3v2:
        return "no-id3v2";
    case ConversionOutcome::Failed:
        break;
    }
    return "failed";
}

QString outcomeText(const QString &file, const ConversionResult &r)
{
    const QString shown = visibleControls(file);
    switch (r.outcome) {
    case ConversionOutcome::Written:
        return QStringLiteral("written %1\n").arg(shown);
    case ConversionOutcome::KeptId3v1:
        return QStringLiteral("kept %1 (it has an ID3v1 tag; --overwrite replaces it)\n").arg(shown);
    case ConversionOutcome::NoId3v2:
        return QStringLiteral("no ID3v2 tag: %1 (left as it is)\n").arg(shown);
    case ConversionOutcome::Failed:
        break;
    }
    return {};
}

int runFromV2(const QStringList &arguments)
{
    QCommandLineParser parser;
    parser.addOption({QStringLiteral("overwrite"), QStringLiteral("Replace an ID3v1 tag the file already has.")});
    parser.addOption({QStringLiteral("json"), QStringLiteral("One JSON object per file and line.")});
    addFilesFromOption(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("MP3 files to convert."), QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Writes an ID3v1 tag (and a Lyrics3 block for values over 30 characters)\n"
                                         "from the ID3v2 tag at the start of each file. Only the end of a file\n"
                                         "changes: the ID3v2 tag and the audio stay byte for byte. Files that\n"
                                         "already have an ID3v1 tag are left and counted unless --overwrite."),
                          &exitCode))
        return exitCode;
    QStringList files;
    if (!commandFiles(parser, QStringLiteral("tag from-v2 needs at least one file\n"), &files, &exitCode))
        return exitCode;
    TerminalPrompter prompter;
    TagContext context;
    context.prompter = &prompter;
    context.language = chosenLanguage(parser);
    const bool overwrite = parser.isSet(QStringLiteral("overwrite"));
    const bool json = parser.isSet(QStringLiteral("json"));
    ProgressBar bar(QStringLiteral("from-v2"));
    ConversionCounts counts;
    // Written in groups; each file's line comes in the order of the list once
    // its group is committed.
    QList<std::optional<ConversionResult>> results(files.size());
    qsizetype reported = 0;
    const auto report = [&] {
        for (; reported < files.size() && results.at(reported); ++reported) {
            const QString &file = files.at(reported);
            const ConversionResult &result = *results.at(reported);
            counts.add(result.outcome);
            if (result.outcome == ConversionOutcome::Failed) {
                err(QStringLiteral("kaz-cli: cannot convert %1: %2\n").arg(visibleControls(file), result.status.errorText()));
                exitCode = ExitFileError;
            }
            if (json)
                outBytes(JsonLine()
                             .add("file", file)
                             .add("outcome", QString::fromLatin1(outcomeKey(result.outcome)))
                             .add("error", result.status.ok() ? QString() : result.status.errorText())
                             .line());
            else
                out(outcomeText(file, result));
        }
    };
    ConversionBatch batch(overwrite, context);
    for (qsizetype i = 0; i < files.size(); ++i) {
        batch.add(files.at(i), [&results, i](const ConversionResult &r) { results[i] = r; });
        report();
        bar.update(i + 1, files.size());
    }
    batch.commit();
    report();
    bar.finish();
    if (!json)
        err(QStringLiteral("%1 written, %2 kept with their ID3v1 tag, %3 without an ID3v2 tag, %4 failed\n")
                .arg(counts.written)
                .arg(counts.kept)
                .arg(counts.withoutId3v2)
                .arg(counts.failed));
    return exitCode;
}

int runTag(const QStringList &arguments)
{
    const QString usage = QStringLiteral("Usage: kaz-cli tag show [--json] [--id3v2] FILE...\n"
                                         "       kaz-cli tag set [--title T] [--artist A] [--album B] [--comment C]\n"
                                         "                       [--year Y] [--track N] [--genre NAME|NUMBER]\n"
                                         "                       [--files-from LIST] FILE...\n"
                                         "       kaz-cli tag strip [--json] FILE...\n"
                                         "       kaz-cli tag from-v2 [--overwrite] [--json] [--files-from LIST] FILE...\n");
    return runSubcommand(arguments, usage,
                         {{"show", runShow}, {"set", runSet}, {"strip", runStrip}, {"from-v2", runFromV2}});
}

const CliCommand command("tag", "Show, set or strip the ID3v1 tags of files, or write them from ID3v2 tags", runTag);

} // namespace
} // namespace kaz::cli
