// The tag editor's work on real files: carry-over, clipboard, strip, rename
// and Save, and the sequence over the selection.
#include "EditorFixtures.h"
#include "support/QtPrinters.h"

#include "editor/TagEditorModel.h"
#include "support/Id3v2Fixture.h"
#include "tags/Id3v2.h"
#include "tags/TagIO.h"

#include <QFileInfo>

using namespace kaz;
using namespace kaz::test;

namespace {

class TagEditorModelTest : public ::testing::Test
{
protected:
    TagContext context() { return {.prompter = &prompter}; }
    TagRecord tagOf(const QString &path) { return readTag(path, {}); }

    TempHome home;
    QString dir = home.music();
    ScriptedPrompter prompter;
    TagEditorSession session;
};

} // namespace

TEST_F(TagEditorModelTest, SaveAndCopyWithSamplerCarriesAllButArtistTitleAndTrack)
{
    QStringList files;
    for (int i = 1; i <= 3; ++i)
        files << putSong(dir, QStringLiteral("%1.mp3").arg(i),
                         values(QStringLiteral("Title %1").arg(i), QStringLiteral("Artist %1").arg(i),
                                QStringLiteral("Album %1").arg(i), QStringLiteral("199%1").arg(i),
                                QStringLiteral("Comment %1").arg(i), QStringLiteral("%1").arg(i), quint8(i)));
    session.sampler = true;
    TagEditorModel model(session, context());
    model.open(files[0]);
    model.fields().album = "Best of";
    model.save("1", true);

    for (int i : {1, 2}) {
        model.open(files[i]);
        const EditorFields &f = model.fields();
        EXPECT_EQ(QStringList({f.title, f.artist, f.album, f.comment, f.year, f.genre}),
                  QStringList({QStringLiteral("Title %1").arg(i + 1), "", "Best of", "Comment 1", "1991", "Classic Rock"}));
        EXPECT_EQ(f.track, 0);
        model.save(QStringLiteral("%1").arg(i + 1), true);
    }
    EXPECT_EQ(tagOf(files[2]).album, "Best of");

    // A plain Save, and a Skip, carry nothing.
    session.sampler = false;
    model.open(files[0]);
    model.save("1", false);
    model.open(files[1]);
    EXPECT_EQ(QString(model.fields().title + "|" + model.fields().artist), "Title 2|"); // the file's own artist now
    model.save("2", true);
    model.skip();
    model.open(files[2]);
    EXPECT_EQ(QStringList({model.fields().comment, model.fields().genre}), QStringList({"Comment 1", "Classic Rock"}));
}

TEST_F(TagEditorModelTest, ClipboardInsertsTheChosenFields)
{
    const QString a = putSong(dir, "a.mp3", values("TA", "AA", "LA", "2000", "CA", "0", 13));
    const QString b = putSong(dir, "b.mp3", {}, false);
    TagEditorModel model(session, context());
    model.open(b);
    EXPECT_FALSE(model.insertFromClipboard()); // nothing copied yet
    EXPECT_FALSE(model.canStrip());
    model.open(a);
    model.copyToClipboard();

    struct Case { TagClipboard::Field off; QString title, artist, genre; } cases[] = {
        {TagClipboard::FieldCount, QString(), "AA", "Pop"},
        {TagClipboard::Artist, QString(), QString(), "Pop"},
        {TagClipboard::Genre, QString(), "AA", QString()},
    };
    for (const Case &c : cases) {
        TagClipboard &clip = session.clipboard;
        for (int f = 0; f < TagClipboard::FieldCount; ++f)
            clip.setChosen(TagClipboard::Field(f), f != TagClipboard::Title && f != c.off);
        model.open(b);
        ASSERT_TRUE(model.insertFromClipboard());
        const EditorFields &f = model.fields();
        EXPECT_EQ(QStringList({f.title, f.artist, f.album, f.genre}), QStringList({c.title, c.artist, "LA", c.genre}));
        EXPECT_TRUE(model.canStrip());
    }
    session.clipboard.setChosen(TagClipboard::Title, true);
    session.clipboard.setChosen(TagClipboard::Genre, true);
    model.open(b);
    model.insertFromClipboard();
    EXPECT_EQ(model.fields().title, "TA");
    // Saved into the untagged file, the inserted values become its tag.
    model.save("b", false);
    EXPECT_EQ(tagOf(b).title, "TA");
    EXPECT_EQ(tagOf(b).genre, 13);
}

TEST_F(TagEditorModelTest, StripAndSaveCutTagAndLyrics3BlockOnlySaveWritesLongFields)
{
    struct Case { const char *name; QString title; QList<QByteArray> extra; } cases[] = {
        {"plain.mp3", "Short", {}},
        {"lyrics.mp3", QString(45, QLatin1Char('L')), {QByteArray("LYR00005hello")}},
    };
    for (const Case &c : cases) {
        const QString path = putSong(dir, QString::fromLatin1(c.name), values(c.title, "A"), true, c.extra);
        const QByteArray audio = mp3Frames(3);
        ASSERT_TRUE(readAll(path).startsWith(audio));
        TagEditorModel model(session, context());
        model.open(path);
        ASSERT_TRUE(model.canStrip());
        model.strip();
        EXPECT_TRUE(model.fields().title.isEmpty());
        const TagEditorModel::SaveResult r = model.save(nameWithoutMp3(path), false);
        EXPECT_TRUE(r.stripped) << c.name;
        EXPECT_FALSE(r.wrote) << c.name;
        EXPECT_EQ(readAll(path), audio) << c.name;
    }
    // Taken back, the strip changes nothing and Save writes the values.
    const QString path = putSong(dir, "back.mp3", values("T", "A"));
    TagEditorModel model(session, context());
    model.open(path);
    model.strip();
    model.takeBackStrip();
    EXPECT_EQ(model.fields().title, "T");
    model.save("back", false);
    EXPECT_EQ(tagOf(path).title, "T");
    EXPECT_TRUE(prompter.shown.isEmpty()) << prompter.shown.join(QLatin1Char('|')).toStdString();

    // Save writes long fields and leaves untouched untagged files alone.
    const QString tagged = putSong(dir, "t.mp3", values("T", "A"));
    const QString bare = putSong(dir, "u.mp3", {}, false);
    const QByteArray bareBytes = readAll(bare);
    model.open(bare);
    EXPECT_EQ(model.openingHeader(), HeaderState::NoTag);
    model.save("u", false);
    EXPECT_EQ(readAll(bare), bareBytes);

    model.open(tagged);
    model.fields().artist = QString(34, QLatin1Char('a'));
    model.fields().track = 12;
    model.save("t", false);
    const TagRecord t = tagOf(tagged);
    EXPECT_EQ(t.longArtist, QString(34, QLatin1Char('a')));
    EXPECT_EQ(t.track, 12);
    model.open(tagged);
    EXPECT_EQ(model.openingHeader(), HeaderState::Extended);
    EXPECT_EQ(model.fields().artist.size(), 34);
}

TEST_F(TagEditorModelTest, RenameTakesAFreeNameAndUndoGoesBackUnlessTheNameIsTaken)
{
    const QString a = putSong(dir, "abba - sos.mp3", values("SOS", "ABBA"));
    putSong(dir, "taken.mp3", values("X", "Y"));
    putSong(dir, "taken (1).mp3", values("X", "Y"));
    TagEditorModel model(session, context());
    model.open(a);
    model.enterName("abba - sos");

    struct Case { QString typed; QString expected; } cases[] = {
        {"ABBA - SOS", "ABBA - SOS.mp3"}, // letter case alone renames
        {"taken", "taken (2).mp3"},
        {"a?b*c", "abc.mp3"},
        {"   ", "abc.mp3"}, // a blank name renames nothing
        {"abc", "abc.mp3"},
    };
    for (const Case &c : cases) {
        model.rename(c.typed);
        EXPECT_EQ(model.path(), dir + QLatin1Char('/') + c.expected) << c.typed.toStdString();
        EXPECT_TRUE(QFileInfo::exists(model.path()));
    }
    EXPECT_TRUE(model.canUndoName("abc"));
    EXPECT_FALSE(model.canUndoName("abba - sos"));
    EXPECT_TRUE(model.canUndoName("ABBA - sos")); // exact, as the file system compares
    model.undoName();
    EXPECT_EQ(namesIn(dir), (QStringList{"abba - sos.mp3", "taken (1).mp3", "taken.mp3"}));

    // Save renames too, and an extension in capitals is kept.
    const QString caps = putSong(dir, "x.MP3", values("X", "Y"));
    model.open(caps);
    model.fields().title = "new";
    model.save("taken", false);
    EXPECT_EQ(model.path(), dir + "/taken.MP3");
    EXPECT_EQ(tagOf(model.path()).title, "new");
    EXPECT_TRUE(prompter.shown.isEmpty());

    // An undo onto a name taken meanwhile is refused and reported.
    const QString taken = dir + "/taken (1).mp3";
    model.open(taken);
    model.rename("b");
    putSong(dir, "taken (1).mp3", values("other", "A"));
    EXPECT_FALSE(model.undoName().renamed);
    EXPECT_EQ(model.path(), dir + "/b.mp3");
    EXPECT_EQ(tagOf(taken).title, "other");
    EXPECT_EQ(prompter.shown.size(), 1);
}

// Save follows the ID3v2-write setting, and the editor tells which tags it writes.
TEST_F(TagEditorModelTest, SaveWritesTheId3v2TagAsTheSettingSays)
{
    const Id3v2Spec spec{.padding = 300, .frames = {{"TIT2", QStringLiteral("Old")}, {"TPE1", QStringLiteral("Band")}}};
    const QString path = putFile(dir, "song.mp3", id3v2Tag(spec) + mp3WithTag(values("Old", "Band")));
    const QString plain = putSong(dir, "plain.mp3", values("Plain", "Band"));
    for (id3v2::WriteMode mode : {id3v2::WriteMode::Off, id3v2::WriteMode::Update}) {
        const QString title = QStringLiteral("A title of more than thirty characters, mode %1").arg(int(mode));
        TagContext withMode = context();
        withMode.id3v2Write = mode;
        TagEditorModel model(session, withMode);
        model.open(plain);
        EXPECT_EQ(model.savedTags(), "ID3v1");
        model.open(path);
        EXPECT_EQ(model.savedTags(), mode == id3v2::WriteMode::Off ? "ID3v1" : "ID3v1 + ID3v2.4");
        model.fields().title = title;
        EXPECT_TRUE(model.save("song", false).status.ok());
        EXPECT_EQ(id3v2::read(ReadOnlyFile(path))->title, mode == id3v2::WriteMode::Off ? "Old" : title);
        EXPECT_EQ(id3v2::read(ReadOnlyFile(path))->artist, "Band");
        EXPECT_EQ(tagOf(path).longTitle, title);
    }
}
