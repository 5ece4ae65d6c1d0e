// The fast orders give exactly the permutations of the literal double loops.
#include "LiteralOrders.h"

#include <QRandomGenerator>

#include <gtest/gtest.h>

using namespace kaz;

TEST(RecordOrder, FastEqualsLiteralOnRandomKeys)
{
    QRandomGenerator random(20261206);
    for (int round = 0; round < 406; ++round) {
        // The last rounds are as long as whole folders: long runs of exchanges,
        // or long stretches without any once sorted by length.
        const bool folder = round >= 400;
        const int n = folder ? 700 : int(random.bounded(0, 60));
        // Small ranges give many equal keys, whose order is what matters most.
        const int positionRange = 1 + int(random.bounded(1, 8));
        const int lengthRange = folder ? 70 : 1 + int(random.bounded(1, round % 2 ? 6 : 300));
        QList<RecordKey> keys;
        for (int i = 0; i < n; ++i)
            keys << RecordKey{int(random.bounded(positionRange)), int(random.bounded(lengthRange))};
        if (folder && round % 2)
            std::sort(keys.begin(), keys.end(), [](RecordKey a, RecordKey b) { return a.length < b.length; });
        ASSERT_EQ(recordOrder(keys), literalRecordOrder(keys)) << "round " << round;
    }
}

TEST(RecordOrder, FastEqualsLiteralOnRandomTextsAndKnownPermutations)
{
    QRandomGenerator random(7);
    const QStringList alphabet{"", "a", "B", "b", "ab", "aB", "Ä", "10", "9", "a b"};
    for (int round = 0; round < 400; ++round) {
        const int n = int(random.bounded(0, 50));
        QStringList texts;
        for (int i = 0; i < n; ++i)
            texts << alphabet[random.bounded(alphabet.size())] + alphabet[random.bounded(round % 3 ? 3 : 10)];
        const bool descending = round % 2;
        ASSERT_EQ(textOrder(texts, descending), literalTextOrder(texts, descending)) << "round " << round;
    }
    // Equal texts do not keep their order: the loop is no stable sort.
    EXPECT_EQ(literalTextOrder({"b", "a", "b", "a"}, false), QList<int>({1, 3, 2, 0}));
    EXPECT_EQ(textOrder({"b", "a", "b", "a"}, false), QList<int>({1, 3, 2, 0}));
    EXPECT_EQ(textOrder({"b", "a", "c"}, true), QList<int>({2, 0, 1}));
    EXPECT_EQ(numberOrder({3, 1, 4, 2}), QList<int>({1, 3, 0, 2}));
    EXPECT_EQ(recordOrder({{4, 9}, {1, 5}, {3, 15}, {3, 7}}), QList<int>({1, 3, 2, 0}));
}
