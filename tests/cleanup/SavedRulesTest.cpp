// Saved replace scripts in "cleanup.kaz": the menu, saving, deleting.
#include "CleanupFixtures.h"

#include "cleanup/SavedRules.h"

#include <QFile>

using namespace kaz;
using namespace kaz::test;

using SavedRules = HomeTest;

namespace {

QStringList captions()
{
    QStringList list;
    for (const SavedRuleItem &item : savedRuleMenu(loadSavedRules()))
        list.append(item.caption);
    return list;
}

} // namespace

TEST_F(SavedRules, ParseAndRenderKeepThePairs)
{
    const QByteArray bytes = "Underscores\r\n\"_\"\" \":\r\n\r\n\"x\"\"\":\r\nOdd\n3\"-\":\n";
    const QList<SavedRule> rules = parseSavedRules(bytes);
    ASSERT_EQ(rules.size(), 3);
    EXPECT_EQ(rules[1], (SavedRule{"", "\"x\"\"\":"}));
    EXPECT_EQ(rules[2], (SavedRule{"Odd", "3\"-\":"}));
    EXPECT_EQ(parseSavedRules(renderSavedRules(rules)), rules);
    // A name without its script line is kept as a record with no script.
    EXPECT_EQ(parseSavedRules("Lonely\r\n"), (QList<SavedRule>{{"Lonely", ""}}));
    // Line breaks never reach the file inside a line.
    EXPECT_EQ(parseSavedRules(renderSavedRules({{"a\nb", "x:"}})).size(), 1);
}

TEST_F(SavedRules, MenuOrder)
{
    const QList<SavedRule> rules{{"First", "a:"}, {"", "b:"}, {"Second", "c:"}, {"", "d:"}, {"Empty", ""}};
    QStringList list;
    for (const SavedRuleItem &item : savedRuleMenu(rules))
        list.append(item.caption + "=" + QString::number(item.record));
    // Named records at the top, the latest first; unnamed ones at the bottom.
    EXPECT_EQ(list, (QStringList{"Second=2", "First=0", "b:=1", "d:=3"}));
}

TEST_F(SavedRules, SavingDuplicatesAndLastExpression)
{
    EXPECT_TRUE(captions().isEmpty()); // no file: no rules
    EXPECT_EQ(saveRule("\"_\"\" \":", false, "Underscores"), SaveRuleResult::Saved);
    EXPECT_EQ(readAll(savedRulesPath()), "Underscores\r\n\"_\"\" \":\r\n");
    EXPECT_EQ(saveRule("\"x\"\"\"", false, ""), SaveRuleResult::Saved); // the closing ":" is added
    const QByteArray before = readAll(savedRulesPath());
    // The same script without a name, already there unnamed: nothing written.
    EXPECT_EQ(saveRule("\"x\"\"\":", false, ""), SaveRuleResult::AlreadySaved);
    EXPECT_EQ(readAll(savedRulesPath()), before);
    // "last expression" saves only the last entry, with its ":".
    EXPECT_EQ(saveRule("\"a\"\"\":3-5\"\":", true, "Range"), SaveRuleResult::Saved);
    EXPECT_EQ(loadSavedRules().last(), (SavedRule{"Range", "3-5\"\":"}));
    EXPECT_EQ(saveRule("", false, "Nothing"), SaveRuleResult::NothingToSave);
    EXPECT_EQ(captions(), (QStringList{"Range", "Underscores", "\"x\"\"\":"}));
}

TEST_F(SavedRules, DeletingTakesTheChosenRecordOnly)
{
    // A name that equals another record's script: the chosen record goes,
    // not the first line that reads the same.
    ASSERT_TRUE(storeSavedRules({{"", "x:"}, {"x:", "y:"}, {"Keep", "z:"}}));
    const QList<SavedRuleItem> menu = savedRuleMenu(loadSavedRules());
    const SavedRuleItem *named = nullptr;
    for (const SavedRuleItem &item : menu)
        if (item.caption == "x:" && item.script == "y:")
            named = &item;
    ASSERT_NE(named, nullptr);
    ASSERT_TRUE(deleteRule(named->record));
    EXPECT_EQ(loadSavedRules(), (QList<SavedRule>{{"", "x:"}, {"Keep", "z:"}}));
    // An unnamed record: both of its lines go, the rest keep their pairing.
    ASSERT_TRUE(deleteRule(findSavedRule(savedRuleMenu(loadSavedRules()), "x:")->record));
    EXPECT_EQ(readAll(savedRulesPath()), "Keep\r\nz:\r\n");
    EXPECT_FALSE(deleteRule(5));
}

TEST_F(SavedRules, ACrashWhileWritingLeavesTheOldRules)
{
    ASSERT_TRUE(storeSavedRules({{"Old", "a:"}}));
    // The new file is written under another name first; a write that never
    // came to its rename leaves the rules as they were.
    const QString stale = savedRulesPath() + ".tmp";
    writeAll(stale, "half");
    EXPECT_EQ(loadSavedRules(), (QList<SavedRule>{{"Old", "a:"}}));
    // Saving works on a read-only file too: the file is replaced, not written into.
    QFile(savedRulesPath()).setPermissions(QFile::ReadOwner);
    EXPECT_EQ(saveRule("b:", false, ""), SaveRuleResult::Saved);
    EXPECT_EQ(loadSavedRules().size(), 2);
}
