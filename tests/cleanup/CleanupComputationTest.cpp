// The cleanup computation: one base name, a script and the options in, the
// new base name out.
#include "cleanup/CleanupComputation.h"
#include "cleanup/ScriptEditing.h"

#include <gtest/gtest.h>

using namespace kaz;

namespace {

struct Case { const char *base; const char *script; const char *expected; CleanupOptions options; };

// Options with capitalising off and, where given, one word or position limit on.
CleanupOptions none()
{
    CleanupOptions o;
    o.capitalizeFirst = false;
    return o;
}

CleanupOptions fromPosition(int p)
{
    CleanupOptions o = none();
    o.fromPosition = true, o.fromPositionNumber = p;
    return o;
}

CleanupOptions afterFirst(int words)
{
    CleanupOptions o = none();
    o.afterFirstWords = true, o.afterFirstWordsNumber = words;
    return o;
}

CleanupOptions beforeLast(int words)
{
    CleanupOptions o = none();
    o.beforeLastWords = true, o.beforeLastWordsNumber = words;
    return o;
}

const CleanupOptions capitalize;

void expectCases(const std::vector<Case> &cases)
{
    for (const Case &c : cases) {
        const CleanupResult r = computeCleanName(QString::fromUtf8(c.base), QString::fromUtf8(c.script), c.options);
        EXPECT_EQ(r.name, QString::fromUtf8(c.expected)) << c.base << " with " << c.script;
        EXPECT_FALSE(r.empty) << c.base << " with " << c.script;
    }
}

} // namespace

TEST(CleanupComputation, ScriptForms)
{
    expectCases({
        {"Peter_and_paul", R"("_"" ":)", "Peter and paul", none()},
        {"abab", R"("ab""x":)", "xx", none()},
        {"abcdef", R"(3"XY":)", "abXYcdef", none()},
        {"abcdef", R"(3"XY":3-4"":)", "abXYcdef", none()},
        {"abcdef", R"(2-4"":)", "aef", none()}, {"abcdef", R"(4-2"":)", "aef", none()},
        {"abcdef", R"(1-3"XXXXX":)", "XXXXXdef", none()},
        {"01 My Song", R"(" """:)", "01 MySong", fromPosition(4)},
        {"abcabc", R"("a""A":)", "abcAbc", fromPosition(4)},
        {"01 - 1 Song", R"("1""X":)", "01 - X Song", afterFirst(1)},
        {"abc", R"("""-":)", "a-b-c-", none()},
        {"song", "", "Song", capitalize},
        // A bare text deletes every free occurrence; the closing ":" may be missing.
        {"a_b_c", "_", "abc", none()},
        {"The Band - Song", R"("The """:" - ""_")", "Band_Song", none()},
        // Entries without a search part are ignored.
        {"abc", R"(:"":""x":)", "abc", none()},
        // Characters a script may not hold are taken out before it is read.
        {"a/b", R"("a""x/":)", "x/b", none()},
        {"abc", R"(*"b"*"Y":)", "aYc", none()},
        // Any non-digit joins a range; a leading non-digit leaves an insertion.
        {"abcdef", R"(2 4"":)", "aef", none()}, {"abcdef", R"(x2"-":)", "a-bcdef", none()},
        // "?" in a replacement deletes, as the overlay reads it.
        {"abc", R"("b""?":)", "ac", none()},
        // Capitalising only touches a..z.
        {"élan", "", "élan", capitalize}, {"1abc", "", "1abc", capitalize},
        // The first rule wins; the second finds its match no longer free.
        {"a_b", R"("_"" ":"_""-":)", "a b", none()},
        // A later rule is skipped only where its whole match is taken.
        {"a__b_c", R"("__""=":"_""-":)", "a=b-c", none()},
        // A range over characters an earlier rule changed is skipped...
        {"abcdef", R"("cd""X":2-4"":)", "abXef", none()},
        // ...but a range that starts at the last index is applied.
        {"abcdef", R"("f""Z":6-6"Q":)", "abcdeQ", none()},
    });
}

TEST(CleanupComputation, WordLimitsAndPositions)
{
    expectCases({
        // Characters beyond the BMP are one position each.
        {"a😀b", R"(2-2"":)", "ab", none()},
        {"ä😀öü", R"(3"-":)", "ä😀-öü", none()},
        {"a😀b", R"("😀""x":)", "axb", none()},
        // Longer names, read and searched several characters at a time.
        {"0123456😀89abcdef😀x", R"("😀""-":)", "0123456-89abcdef-x", none()},
        {"abcdefgh😀ijkl", R"(10"-":)", "abcdefgh😀-ijkl", none()},
        {"x_______________x_", R"("_""-":)", "x---------------x-", none()},
        // A range past the end is cut at it; one beyond the end appends.
        {"abc", R"(2-9"XY":)", "aXY", none()}, {"abc", R"(3-9"":)", "ab", none()},
        {"abc", R"(7-9"Z":)", "abcZ", none()}, {"abc", R"(9"Z":)", "abcZ", none()},
        // Position 0 and huge numbers are held inside.
        {"abc", R"(0"Z":)", "Zabc", none()}, {"abc", R"(99999999999999999999"Z":)", "abcZ", none()},
        // Names may hold the characters the script uses as marks.
        {"a*b?\"c", R"(2"-":)", "a-*b?\"c", none()},
        // The limits lie on the blanks that end the words.
        {"a b c d", R"(" """:)", "abc d", beforeLast(1)}, {"a b c d", R"(" """:)", "ab c d", beforeLast(2)},
        {"one two three", R"(" ""_":)", "one two_three", afterFirst(1)},
        {"one two three", R"(" ""_":)", "one two three", afterFirst(2)},
        // A dot or comma right after a word's first character is stepped over.
        {"a.b c d", R"(" ""_":)", "a.b c_d", afterFirst(1)},
        // Letters outside A..Z end a word.
        {"aéb c", R"(" ""_":)", "aéb_c", afterFirst(1)},
        // More words asked for than the name has: nothing is free.
        {"a b", R"(" ""_":)", "a b", afterFirst(5)},
    });
}

TEST(CleanupComputation, EmptyAndHiddenNames)
{
    CleanupResult r = computeCleanName(QStringLiteral("abc"), QStringLiteral("1-3\"\":"), none());
    EXPECT_TRUE(r.empty);
    EXPECT_TRUE(r.name.isEmpty());
    // A name that would start with a dot loses the dots; only dots is empty.
    r = computeCleanName(QStringLiteral("x.hidden"), QStringLiteral("1-1\"\":"), none());
    EXPECT_EQ(r.name, "hidden");
    EXPECT_TRUE(computeCleanName(QStringLiteral("x.."), QStringLiteral("1-1\"\":"), none()).empty);
    // Control characters from a script become blanks.
    EXPECT_EQ(computeCleanName(QStringLiteral("ab"), QStringLiteral("2\"\t\":"), none()).name, "a b");
}

TEST(CleanupComputation, EmptyResultDropsTheLastEntryUntilANameIsLeft)
{
    CleanupFallback f = cleanWithFallback(QStringLiteral("abc"), QStringLiteral("\"x\"\"y\":1-3\"\":"), none());
    EXPECT_EQ(f.name, "abc");
    EXPECT_EQ(f.script, "\"x\"\"y\":");
    EXPECT_EQ(f.droppedEntries, 1);
    f = cleanWithFallback(QStringLiteral("abc"), QStringLiteral("abc:"), capitalize);
    EXPECT_EQ(f.name, "Abc");
    EXPECT_EQ(f.script, "");
    f = cleanWithFallback(QStringLiteral("abc"), QStringLiteral("\"x\"\"y\":"), none());
    EXPECT_EQ(f.droppedEntries, 0);
}

TEST(ScriptEditing, EntriesAndRemoval)
{
    struct Removal { const char *script; const char *removed; const char *last; };
    for (const Removal &c : std::vector<Removal>{{"", "", ""}, {"\"a\"\"\":", "", "\"a\"\"\":"},
                                                 {"\"a\"\"\":3-5\"\":", "\"a\"\"\":", "3-5\"\":"},
                                                 {"x:y", "x:", "y"}, {":", "", ":"}}) {
        EXPECT_EQ(removeLastEntry(QString::fromUtf8(c.script)), QString::fromUtf8(c.removed)) << c.script;
        EXPECT_EQ(lastEntry(QString::fromUtf8(c.script)), QString::fromUtf8(c.last)) << c.script;
    }
    EXPECT_EQ(stringEntry(QStringLiteral("feat")), "\"feat\"\"\":");
    EXPECT_EQ(rangeEntry(2, 3), "3-5\"\":");
    EXPECT_EQ(insertionEntry(4), "5\"\":");
    const QString script = appendEntry(QString(), stringEntry(QStringLiteral("feat")));
    EXPECT_EQ(appendEntry(script, stringEntry(QStringLiteral("feat"))), script); // no second copy
    EXPECT_EQ(appendEntry(QStringLiteral("\"a\"\"b\""), QStringLiteral("x:")), "\"a\"\"b\":x:");
    // Held means held as whole entries, not as the tail of another one.
    EXPECT_EQ(appendEntry(QStringLiteral("3-5\"\":"), insertionEntry(4)), "3-5\"\":5\"\":");
    EXPECT_EQ(appendEntry(QStringLiteral("a:\"b\"\"\":c:"), QStringLiteral("\"b\"\"\":c:")), "a:\"b\"\"\":c:");
}
