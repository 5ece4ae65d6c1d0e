// kaz-cli tag show / set / strip / from-v2: reading, writing and removing ID3v1 tags and Lyrics3
// fields, and writing them from a file's ID3v2 tag.
#include "CliCommand.h"
#include "CliSupport.h"
#include "JsonLine.h"

#include "tags/Genres.h"
#include "tags/Id3v1.h"
#include "tags/Id3v2Conversion.h"
#include "tags/Lyrics3.h"
#include "tags/TagIO.h"
#include "tags/TagStrip.h"

#include <QFileInfo>

#include <cerrno>
#include <functional>
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
    say(text(messageLanguage(), "cannot read %1: %2", "%1 ist nicht lesbar: %2").arg(visibleControls(file), status.errorText()));
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
    if (!commandFiles(parser, text(messageLanguage(), "needs at least one file", "braucht mindestens eine Datei"), &files,
                      &exitCode))
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
        if (tag.id3v2Unreadable)
            exitCode = ExitFileError;
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

// The results of a run that writes in groups, each reported in the order of
// the files as soon as it and all before it are known.
template <typename Result>
class OrderedResults
{
public:
    using Report = std::function<void(const QString &file, const Result &result)>;
    OrderedResults(const QStringList &files, Report report)
        : m_files(files)
        , m_results(files.size())
        , m_report(std::move(report))
    {
    }
    std::function<void(const Result &)> slot(qsizetype i)
    {
        return [this, i](const Result &result) { m_results[i] = result; };
    }
    void reportKnown()
    {
        for (; m_reported < m_files.size() && m_results.at(m_reported); ++m_reported)
            m_report(m_files.at(m_reported), *m_results.at(m_reported));
    }

private:
    const QStringList &m_files;
    QList<std::optional<Result>> m_results;
    Report m_report;
    qsizetype m_reported = 0;
};

// The room of the ID3v1 fields that have no Lyrics3 field.
constexpr qint64 kCommentBytes = 30;
constexpr qint64 kCommentBytesWithTrack = 28; // the track number takes the last two
constexpr qint64 kYearBytes = 4;
constexpr quint8 kNoGenre = 255;

// A value longer than its field would be cut: it is refused with the field's
// limit. Over 30 characters title, artist and album go into the Lyrics3
// block, whose fields end at 99,999 bytes.
bool valuesFit(const TagOverride &values, const TextCodec &codec)
{
    const struct {
        const char *option;
        const QString &value;
        qint64 limit;
    } fields[] = {{"title", values.title, lyrics3::kMaxValueBytes},
                  {"artist", values.artist, lyrics3::kMaxValueBytes},
                  {"album", values.album, lyrics3::kMaxValueBytes},
                  {"comment", values.comment, kCommentBytes},
                  {"year", values.year, kYearBytes}};
    for (const auto &field : fields) {
        if (codec.encode(field.value).size() > field.limit) {
            say(text(messageLanguage(), "--%1 takes at most %2 characters; nothing was written",
                     "--%1 nimmt höchstens %2 Zeichen; nichts wurde geschrieben")
                    .arg(QLatin1String(field.option))
                    .arg(field.limit));
            return false;
        }
    }
    if (!values.trackText.isEmpty() && codec.encode(values.comment).size() > kCommentBytesWithTrack) {
        say(text(messageLanguage(), "--comment takes at most %1 characters beside a track number; nothing was written",
                 "--comment nimmt neben einer Titelnummer höchstens %1 Zeichen; nichts wurde geschrieben")
                .arg(kCommentBytesWithTrack));
        return false;
    }
    return true;
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
    option("comment", "Comment, at most 30 characters (28 beside a track number).", "C");
    option("year", "Year, at most 4 characters.", "Y");
    option("track", "Track number 1 to 255.", "N");
    option("genre", "Genre by name or number 0 to 255 (a new tag without one gets 255, no genre).",
           "NAME|NUMBER");
    addId3v2WriteOption(parser);
    addFilesFromOption(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("MP3 files to tag."), QStringLiteral("FILE..."));
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, arguments,
                          QStringLiteral("Writes tag values into each file. A value left out (or empty) keeps the\n"
                                         "file's own; an untagged file receives a tag. A value longer than its\n"
                                         "field is refused, and nothing is written. The ID3v2 tag at the start\n"
                                         "gets the values too, whole, as --id3v2-write says."),
                          &exitCode))
        return exitCode;
    QStringList files;
    if (!commandFiles(parser, text(messageLanguage(), "needs at least one file", "braucht mindestens eine Datei"), &files,
                      &exitCode))
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
            say("--track takes a number from 1 to 255", "--track nimmt eine Zahl von 1 bis 255");
            return ExitUsage;
        }
    }
    if (parser.isSet(QStringLiteral("genre"))) {
        if (!parseGenre(parser.value(QStringLiteral("genre")), &values.genre)) {
            say(text(messageLanguage(), "unknown genre '%1'", "unbekanntes Genre '%1'")
                    .arg(visibleControls(parser.value(QStringLiteral("genre")))));
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
    if (!valuesFit(values, *context.codec))
        return ExitUsage;
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
        // A new tag has no genre the user did not give; seen as the file's
        // own, that genre leaves the genre of an ID3v2 tag as it is.
        TagRecord base = current;
        if (!current.hasTag() && !values.forceGenre)
            base.genre = kNoGenre;
        const TagValues next = valuesToWrite(base, &values);
        if (id3v1::trackFromText(next.trackText) != 0 && context.codec->encode(next.comment).size() > kCommentBytesWithTrack) {
            say(text(messageLanguage(),
                     "%1: the comment takes at most %2 characters beside the file's track number; the file was left "
                     "as it is",
                     "%1: der Kommentar nimmt neben der Titelnummer der Datei höchstens %2 Zeichen; die Datei bleibt, "
                     "wie sie ist")
                    .arg(visibleControls(file))
                    .arg(kCommentBytesWithTrack));
            exitCode = ExitFileError;
            continue;
        }
        batch.add(file, base, next, [file, &exitCode](const FsStatus &status) {
            if (status.ok())
                return;
            say(text(messageLanguage(), "cannot write %1: %2", "%1 ist nicht schreibbar: %2")
                    .arg(visibleControls(file), status.errorText()));
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
        say("needs at least one file", "braucht mindestens eine Datei");
        return ExitUsage;
    }
    TerminalPrompter prompter;
    TagContext context;
    context.prompter = &prompter;
    context.quietWhenShort = true; // a short file has no tag: said below
    context.language = chosenLanguage(parser);
    const bool json = parser.isSet(QStringLiteral("json"));
    ProgressBar bar(text(context.language, "strip", "Entfernen"));
    sayWhenInterrupted({});
    // Cut in groups; each file's line comes in the order of the list once
    // its group is committed.
    OrderedResults<StripResult> results(files, [&](const QString &file, const StripResult &result) {
        if (!result.status.ok()) {
            say(text(context.language, "cannot strip %1: %2", "%1: Entfernen nicht möglich: %2")
                    .arg(visibleControls(file), result.status.errorText()));
            exitCode = ExitFileError;
        }
        const bool cut = result.status.ok();
        if (json)
            outBytes(JsonLine().add("file", file).add("stripped", result.hadTag && cut).add("hadTag", result.hadTag)
                         .add("removed", cut ? result.removed : 0).add("error", cut ? QString() : result.status.errorText())
                         .line());
        else if (cut)
            out(result.hadTag ? QStringLiteral("stripped %1 (%2 bytes)\n").arg(visibleControls(file)).arg(result.removed)
                              : QStringLiteral("no tag: %1 (left as it is)\n").arg(visibleControls(file)));
    });
    StripBatch batch(context);
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString &file = files.at(i);
        const QFileInfo info(file);
        // Read-only by its mode, also for a user (root) whom the system lets write.
        if (info.isFile() && !(info.permissions() & QFileDevice::WriteOwner)) {
            StripResult refused;
            refused.status = FsStatus::fromErrno(EACCES);
            results.slot(i)(refused);
        } else {
            batch.add(file, results.slot(i));
        }
        results.reportKnown();
        bar.update(i + 1, files.size());
    }
    batch.commit();
    results.reportKnown();
    bar.finish();
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
    if (!commandFiles(parser, text(messageLanguage(), "needs at least one file", "braucht mindestens eine Datei"), &files,
                      &exitCode))
        return exitCode;
    TerminalPrompter prompter;
    TagContext context;
    context.prompter = &prompter;
    context.language = chosenLanguage(parser);
    const bool overwrite = parser.isSet(QStringLiteral("overwrite"));
    const bool json = parser.isSet(QStringLiteral("json"));
    ProgressBar bar(QStringLiteral("from-v2"));
    sayWhenInterrupted({});
    ConversionCounts counts;
    // Written in groups; each file's line comes in the order of the list once
    // its group is committed.
    OrderedResults<ConversionResult> results(files, [&](const QString &file, const ConversionResult &result) {
        counts.add(result.outcome);
        if (result.outcome == ConversionOutcome::Failed) {
            say(text(context.language, "cannot convert %1: %2", "%1 ist nicht umwandelbar: %2")
                    .arg(visibleControls(file), result.status.errorText()));
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
    });
    ConversionBatch batch(overwrite, context);
    for (qsizetype i = 0; i < files.size(); ++i) {
        batch.add(files.at(i), results.slot(i));
        results.reportKnown();
        bar.update(i + 1, files.size());
    }
    batch.commit();
    results.reportKnown();
    bar.finish();
    if (!json)
        say(QStringLiteral("%1 written, %2 kept with their ID3v1 tag, %3 without an ID3v2 tag, %4 failed")
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
