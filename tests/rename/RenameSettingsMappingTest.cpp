// The page-"0" settings travel between KAZ.INI and the rename logic.
#include "support/TestSupport.h"

#include "rename/RenameSettingsMapping.h"

using namespace kaz;
using namespace kaz::test;

TEST(RenameSettingsMapping, RoundTripAndUnusableValues)
{
    KazSettings s = KazSettings::defaults(kCommandLineScreen, Language::English);
    s.selection = {2, 3, 0};
    s.joliet = true;
    s.numberFixedPosition = -1;
    s.numberRelativePosition = 2;
    s.numberBrackets = 3;
    s.delimiter = QStringLiteral("_");
    const RenameSettings r = renameSettingsFrom(s);
    EXPECT_EQ((QList<NameField>{r.firstField, r.secondField, r.thirdField}),
              (QList<NameField>{NameField::Title, NameField::None, NameField::Artist}));
    EXPECT_EQ(r.numbering.relativePosition, 2);
    EXPECT_EQ(r.numbering.fixedPosition, -1);
    EXPECT_EQ(r.delimiter, QStringLiteral("_"));
    KazSettings back = KazSettings::defaults(kCommandLineScreen, Language::English);
    storeRenameSettings(r, back);
    EXPECT_EQ(back.selection, s.selection);
    EXPECT_EQ(back.numberRelativePosition, 2);
    EXPECT_EQ(back.delimiter, s.delimiter);

    s.selection = {3, 9, -4}; // "none" first and numbers out of range
    s.replacementCharacters[1] = QStringLiteral("/");
    const RenameSettings fallback = renameSettingsFrom(s);
    EXPECT_EQ((QList<NameField>{fallback.firstField, fallback.secondField, fallback.thirdField}),
              (QList<NameField>{NameField::Artist, NameField::Album, NameField::Title}));
    EXPECT_EQ(fallback.replacements, RenameSettings().replacements);
}

TEST(RenameSettingsMapping, CommandLineStartsFromTheStoredSettings)
{
    TempHome home;
    const QString file = putTagged(home.music(), "x.mp3", values("Song", "Band", "Record"));
    const auto name = [&](const QStringList &extra) {
        return QString::fromUtf8(runCli(QStringList{"name"} + extra + QStringList{file}).out).trimmed();
    };
    EXPECT_EQ(name({}), "Band - Record - Song.mp3");
    ASSERT_EQ(runCli({"config", "set", "Delimiter", "_"}).exitCode, 0);
    ASSERT_EQ(runCli({"config", "set", "SelectionBoxes", "213"}).exitCode, 0);
    EXPECT_EQ(name({}), "Song_Record.mp3");
    EXPECT_EQ(name({"--delimiter", " + "}), "Song + Record.mp3");
}
