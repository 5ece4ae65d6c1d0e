// The registry stand-in keeps what it was given across a save and a load,
// and a damaged or foreign file never stops the program.
#include "support/TestSupport.h"

#include "platform/Registry.h"

#include <QDir>
#include <QFile>

using namespace kaz;
using namespace kaz::test;

TEST(Registry, ValuesSurviveSaveAndLoad)
{
    TempHome home;
    const QString path = home.path() + QStringLiteral("/config/kaz/registry");
    struct Case {
        QString name;
        QString value;
        QString loaded;
    };
    const QList<Case> cases{
        {Registry::kKazDirectory, QStringLiteral("/opt/my apps/kaz"), QStringLiteral("/opt/my apps/kaz")},
        {Registry::kLanguage, QStringLiteral("german"), QStringLiteral("german")},
        {QStringLiteral("Umlaute"), QStringLiteral("Müller – Ärger €"), QStringLiteral("Müller – Ärger €")},
        {QStringLiteral("Equals"), QStringLiteral("a=b=c"), QStringLiteral("a=b=c")},
        {QStringLiteral("Empty"), QString(), QString()},
        // A line break would start a line of its own: it is dropped.
        {QStringLiteral("Broken"), QStringLiteral("one\r\ntwo\nthree"), QStringLiteral("onetwothree")},
    };
    Registry written(path);
    for (const Case &c : cases)
        written.setValue(c.name, c.value);
    ASSERT_TRUE(written.save()); // the folder is made

    const Registry read(path);
    for (const Case &c : cases) {
        EXPECT_TRUE(read.contains(c.name)) << qPrintable(c.name);
        EXPECT_EQ(read.value(c.name), c.loaded) << qPrintable(c.name);
    }
    EXPECT_FALSE(read.contains(QStringLiteral("Never set")));

    // Removing and saving again leaves the others alone.
    Registry changed(path);
    changed.remove(QStringLiteral("Umlaute"));
    changed.setValue(Registry::kLanguage, QStringLiteral("english"));
    ASSERT_TRUE(changed.save());
    const Registry again(path);
    EXPECT_FALSE(again.contains(QStringLiteral("Umlaute")));
    EXPECT_EQ(again.value(Registry::kLanguage), QStringLiteral("english"));
    EXPECT_EQ(again.value(Registry::kKazDirectory), QStringLiteral("/opt/my apps/kaz"));
}

TEST(Registry, DamagedMissingOrUnwritableFiles)
{
    TempHome home;
    const QString path = home.path() + QStringLiteral("/registry");

    // Missing: empty, and the language is the default.
    EXPECT_FALSE(Registry(path).contains(Registry::kLanguage));
    EXPECT_EQ(storedLanguage(), kDefaultLanguage);

    // Lines without a name, binary rubbish and Windows line ends.
    static const char raw[] = "=nameless\r\nno equals sign\r\n\xff\xfe\x00\x01garbage\r\n"
                              "Language=english\r\nKAZ Directory=/x\n";
    ASSERT_TRUE(writeAll(path, QByteArray(raw, sizeof raw - 1)));
    const Registry damaged(path);
    EXPECT_EQ(damaged.value(Registry::kLanguage), QStringLiteral("english"));
    EXPECT_EQ(damaged.value(Registry::kKazDirectory), QStringLiteral("/x"));
    EXPECT_FALSE(damaged.contains(QString()));

    // A file far too large for a few values is not read at all.
    ASSERT_TRUE(writeAll(path, "Language=english\n" + QByteArray(2 * 1024 * 1024, 'x')));
    EXPECT_FALSE(Registry(path).contains(Registry::kLanguage));

    // A place that cannot take the file: save says so.
    ASSERT_TRUE(writeAll(home.path() + QStringLiteral("/plainfile"), "x"));
    Registry nowhere(home.path() + QStringLiteral("/plainfile/registry"));
    nowhere.setValue(Registry::kLanguage, QStringLiteral("german"));
    EXPECT_FALSE(nowhere.save());
}

TEST(Registry, StoredLanguageFollowsTheDefaultFile)
{
    TempHome home;
    struct Case {
        const char *stored;
        Language expected;
    } cases[] = {{"english", Language::English}, {"german", Language::German}, {"klingon", kDefaultLanguage}};
    for (const Case &c : cases) {
        Registry r;
        r.setValue(Registry::kLanguage, QString::fromLatin1(c.stored));
        ASSERT_TRUE(r.save());
        EXPECT_EQ(storedLanguage(), c.expected) << c.stored;
    }
}
