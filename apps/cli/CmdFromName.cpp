// kaz-cli fromname: tags from file names and folder names, with a preview.
#include "CliCommand.h"
#include "CliSupport.h"
#include "JsonLine.h"

#include "fromname/GridWrite.h"
#include "fromname/NameExtraction.h"
#include "fromname/NameSources.h"
#include "fromname/PatternWords.h"
#include "platform/Volumes.h"
#include "tags/FolderNameGuess.h"
#include "tags/Genres.h"

#include <QDate>
#include <QDir>
#include <QFileInfo>

namespace kaz::cli {
namespace {

const char *const kColumns[] = {"status", "filename", "track", "title", "artist", "album", "comment", "year", "genre"};

void usageError(const QString &text)
{
    say(text);
}

// A cell on one line of tab-separated output. Names and tag texts can hold
// anything, escape sequences too: never raw to a terminal.
QString field(QString text)
{
    text.replace(QLatin1Char('\t'), QLatin1String("\\t"));
    text.replace(QLatin1Char('\n'), QLatin1String("\\n")).replace(QLatin1Char('\r'), QLatin1String("\\r"));
    return visibleControls(text);
}

// The preview's first line: the columns' names, as the grid shows them.
QString headerRow(Language l)
{
    const char *const names[][2] = {{"Status", "Status"},   {"Filename", "Dateiname"}, {"Track", "Lied"},
                                    {"Title", "Titel"},     {"Artist", "Interpret"},   {"Album", "Album"},
                                    {"Comment", "Kommentar"}, {"Year", "Jahr"},       {"Genre", "Genre"},
                                    {"Delimiter", "Trennzeichen"}};
    QStringList row;
    for (const auto &name : names)
        row << text(l, name[0], name[1]);
    return row.join(QLatin1Char('\t')) + QLatin1Char('\n');
}

void addOptions(QCommandLineParser &parser)
{
    const auto value = [&](const char *name, const char *help, const char *valueName) {
        parser.addOption({QString::fromLatin1(name), QString::fromUtf8(help), QString::fromLatin1(valueName)});
    };
    const auto flag = [&](const char *name, const char *help) {
        parser.addOption({QString::fromLatin1(name), QString::fromUtf8(help)});
    };
    value("pattern", "Order of the pieces in the names: the words title, artist, album and comment "
                     "(or Titel, Interpret, Album, Kommentar) joined by a hyphen between spaces. By "
                     "default all four in that order.",
          "PATTERN");
    value("split-at", "Split every name at TEXT (1 to 3 characters, e.g. \" - \") instead of at the "
                      "delimiter chosen for each name; a leading track number goes into the track.",
          "TEXT");
    flag("no-underscore-space", "Keep \"_\" in the pieces; \"_\" may then be a delimiter.");
    flag("no-sync", "Values of an existing tag only fill what the name left empty "
                    "(default: they win over everything).");
    value("title", "Title for all files.", "T");
    value("artist", "Artist for all files.", "A");
    value("album", "Album for all files.", "B");
    value("comment", "Comment for all files (at most 30 characters).", "C");
    value("genre", "Genre name for all files.", "NAME");
    value("year", "Year for all files (at most 4 characters).", "YYYY");
    value("year-from", "Year for all files from the file's date or today's.", "file|system");
    flag("from-folders", "Artist and album for all files from the names of the first file's "
                         "folder (album) and its parent (artist); a CD folder goes into the comment.");
    flag("swap", "With --from-folders: the folder is the artist, its parent the album.");
    flag("no-notice-album", "With --from-folders: folders named ALBUM or SAMPLER count as names.");
    flag("no-notice-cd", "With --from-folders: a CD folder is not put into the comment.");
    value("delimiter", "Only the files whose delimiter is D (one character, the --split-at text, or Rest).", "D");
    flag("preview", "Print the rows, tab-separated, and write nothing.");
    flag("json", "With --preview: one JSON object per row and line.");
    addId3v2WriteOption(parser);
    addFilesFromOption(parser);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("MP3 files to tag."), QStringLiteral("FILE..."));
}

// The general infos and extraction settings; false on wrong usage.
bool readSettings(const QCommandLineParser &parser, FromNameSettings &s)
{
    const auto given = [&](const char *name) { return parser.isSet(QString::fromLatin1(name)); };
    const auto text = [&](const char *name) { return parser.value(QString::fromLatin1(name)); };
    if (given("pattern")) {
        s.pattern = patternWords(text("pattern"));
        for (const QString &w : std::as_const(s.pattern)) {
            if (tagWordOf(w) == TagWord::None) {
                usageError(QStringLiteral("unknown pattern word '%1'").arg(w));
                return false;
            }
        }
    }
    if (given("split-at")) {
        s.splitAt = text("split-at");
        if (s.splitAt.isEmpty() || s.splitAt.size() > 3) {
            usageError(QStringLiteral("--split-at takes 1 to 3 characters"));
            return false;
        }
    }
    s.underscoreToSpace = !given("no-underscore-space");
    s.sync = !given("no-sync");
    s.useTitle = given("title");
    s.title = text("title");
    s.useArtist = given("artist");
    s.artist = text("artist");
    s.useAlbum = given("album");
    s.album = text("album");
    s.useComment = given("comment");
    s.comment = text("comment");
    if (s.comment.size() > 30) {
        usageError(QStringLiteral("--comment takes at most 30 characters"));
        return false;
    }
    if (given("genre")) {
        const int genre = genreOfName(text("genre"));
        if (genre < 0) {
            usageError(QStringLiteral("unknown genre '%1'").arg(text("genre")));
            return false;
        }
        s.useGenre = true;
        s.genre = genreName(genre);
    }
    if (given("year") && given("year-from")) {
        usageError(QStringLiteral("--year and --year-from exclude each other"));
        return false;
    }
    if (given("year")) {
        s.useYear = true;
        s.yearSource = YearSource::Typed;
        s.year = text("year");
        if (s.year.isEmpty() || s.year.size() > 4) {
            usageError(QStringLiteral("--year takes 1 to 4 characters"));
            return false;
        }
    } else if (given("year-from")) {
        s.useYear = true;
        if (text("year-from") == QLatin1String("file"))
            s.yearSource = YearSource::FileDate;
        else if (text("year-from") == QLatin1String("system"))
            s.yearSource = YearSource::Today;
        else {
            usageError(QStringLiteral("--year-from takes file or system"));
            return false;
        }
    }
    if (!given("from-folders") && (given("swap") || given("no-notice-album") || given("no-notice-cd"))) {
        usageError(QStringLiteral("--swap, --no-notice-album and --no-notice-cd go with --from-folders"));
        return false;
    }
    return true;
}

// The folder-names button, clicked once (twice with --swap), over the
// values typed so far; what it filled counts as checked.
void applyFolderNames(const QCommandLineParser &parser, const QString &firstFile, FromNameSettings &s)
{
    const QString folder = QFileInfo(firstFile).absolutePath();
    const QString root = volumeRootOf(folder);
    FolderNameOptions options;
    options.noticeAlbum = !parser.isSet(QStringLiteral("no-notice-album"));
    options.noticeCd = !parser.isSet(QStringLiteral("no-notice-cd"));
    FolderNameFields fields{s.artist, s.album, s.comment};
    const FolderNameFields before = fields;
    bool swapped = false;
    const int clicks = parser.isSet(QStringLiteral("swap")) ? 2 : 1;
    for (int i = 0; i < clicks; ++i)
        guessFromFolderNames(folder, root, options, swapped, fields);
    const auto take = [](const QString &now, const QString &was, bool &use, QString &value) {
        if (now == was)
            return;
        use = true;
        value = now;
    };
    take(fields.artist, before.artist, s.useArtist, s.artist);
    take(fields.album, before.album, s.useAlbum, s.album);
    take(fields.comment, before.comment, s.useComment, s.comment);
}

// Existing files as absolute paths; the others are reported.
QStringList takeFiles(const QStringList &arguments, int *exitCode)
{
    QStringList files;
    for (const QString &path : arguments) {
        const QFileInfo info(path);
        if (!info.isFile()) {
            say(text(messageLanguage(), "no such file: %1", "keine solche Datei: %1").arg(field(path)));
            *exitCode = ExitFileError;
            continue;
        }
        files << QDir::cleanPath(info.absoluteFilePath());
    }
    return files;
}

void printRow(const GridRecord &r, bool json)
{
    std::array<QString, GridColumns> cells = r.cells;
    cells[ColStatus] = r.tagged ? QStringLiteral("Tag!") : QString();
    if (json) {
        JsonLine line;
        line.add("file", r.path);
        for (int c = 0; c < GridColumns; ++c)
            line.add(kColumns[c], cells[c]);
        outBytes(line.add("delimiter", r.delimiter).line());
        return;
    }
    QStringList fields;
    for (const QString &cell : cells)
        fields << field(cell);
    out(fields.join(QLatin1Char('\t')) + QLatin1Char('\t') + field(r.delimiter) + QLatin1Char('\n'));
}

int writeRows(const QList<const GridRecord *> &rows, id3v2::WriteMode id3v2Write)
{
    int exitCode = ExitOk;
    ProgressBar progress(QStringLiteral("Writing tags"));
    const QList<RowWriteResult> results
        = writeRows(rows, {}, defaultTextCodec(), [&](qsizetype done) { progress.update(done, rows.size()); },
                    id3v2Write);
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const GridRecord *r = rows[i];
        const RowWriteResult &result = results[i];
        const QString file = field(r->path);
        if (!result.written) {
            progress.finish();
            say(text(messageLanguage(), "cannot write %1: %2", "%1 ist nicht schreibbar: %2").arg(file, result.status.errorText()));
            exitCode = ExitFileError;
            continue;
        }
        if (result.trackDropped) {
            progress.finish();
            say(QStringLiteral("%1: track \"%2\" is no number from 1 to 255; written without a track number")
                    .arg(file, field(r->cells[ColTrack])));
            exitCode = ExitFileError;
        }
        if (result.genreKept) {
            progress.finish();
            say(QStringLiteral("%1: \"%2\" is no genre name; the file's genre was kept")
                    .arg(file, field(r->cells[ColGenre])));
        }
    }
    progress.finish();
    return exitCode;
}

int runFromName(const QStringList &commandLine)
{
    QCommandLineParser parser;
    addOptions(parser);
    int exitCode = ExitOk;
    if (!parseCommandLine(parser, commandLine,
                          QStringLiteral("Writes ID3v1 tags from the pieces of the file names. An existing tag wins\n"
                                         "over values for all files, which win over the pieces of the names.\n"
                                         "Over 30 characters, title, artist and album go into the Lyrics3 block.\n"
                                         "The ID3v2 tag at the start gets the values too, as --id3v2-write says."),
                          &exitCode))
        return exitCode;
    FromNameSettings settings;
    id3v2::WriteMode id3v2Write = id3v2::WriteMode::Update;
    if (!readSettings(parser, settings) || !id3v2WriteMode(parser, &id3v2Write))
        return ExitUsage;
    const QString delimiter = parser.value(QStringLiteral("delimiter"));
    const bool filtered = parser.isSet(QStringLiteral("delimiter"));
    if (filtered && delimiter.size() != 1 && delimiter != restDelimiter() && delimiter != settings.splitAt) {
        usageError(QStringLiteral("--delimiter takes one character, the --split-at text or Rest"));
        return ExitUsage;
    }
    const bool preview = parser.isSet(QStringLiteral("preview"));
    if (parser.isSet(QStringLiteral("json")) && !preview) {
        usageError(QStringLiteral("--json goes with --preview"));
        return ExitUsage;
    }
    QStringList arguments;
    if (!commandFiles(parser, text(messageLanguage(), "needs at least one file", "braucht mindestens eine Datei"),
                      &arguments, &exitCode))
        return exitCode;
    const QStringList files = takeFiles(arguments, &exitCode);
    if (files.isEmpty())
        return exitCode;
    if (parser.isSet(QStringLiteral("from-folders")))
        applyFolderNames(parser, files.first(), settings);

    const bool withDates = settings.useYear && settings.yearSource == YearSource::FileDate;
    const Extraction extraction
        = extractRecords(readNameSources(files, defaultTextCodec(), withDates), settings, QDate::currentDate().year());
    QList<const GridRecord *> rows;
    for (const GridRecord &r : extraction.records) {
        if (!filtered || r.delimiter == delimiter)
            rows << &r;
    }
    if (preview) {
        const bool json = parser.isSet(QStringLiteral("json"));
        if (!json)
            out(headerRow(chosenLanguage(parser)));
        for (const GridRecord *r : std::as_const(rows))
            printRow(*r, json);
        return exitCode;
    }
    sayWhenInterrupted({});
    return qMax(exitCode, writeRows(rows, id3v2Write));
}

const CliCommand command("fromname", "Write tags from file and folder names", runFromName);

} // namespace
} // namespace kaz::cli
