// The registry stand-in keeps what it was given across a save and a load,
// and a damaged or foreign file never stops the program.
#include "support/TestSupport.h"

#include "platform/Registry.h"

#include <QFile>

using namespace kaz;
using namespace kaz::test;

TEST(Registry, ValuesSurviveSaveAndLoadDamagedMissingOrUnwritableFilesStopNothing)
{
    TempHome home;
    const QString path = home.path() + "/config/kaz/registry";
    // A line break would start a line of its own: it is dropped.
    const QList<std::pair<QString, QString>> cases{{Registry::kKazDirectory, "/opt/my apps/kaz"},
                                                   {"Umlaute", "Müller – Ärger €"}, {"Equals", "a=b=c"},
                                                   {"Empty", QString()}, {"Broken", "one\r\ntwo\nthree"}};
    Registry written(path);
    for (const auto &[name, value] : cases)
        written.setValue(name, value);
    ASSERT_TRUE(written.save()); // the folder is made

    const Registry read(path);
    for (const auto &[name, value] : cases) {
        EXPECT_TRUE(read.contains(name)) << qPrintable(name);
        EXPECT_EQ(read.value(name), name == "Broken" ? "onetwothree" : value) << qPrintable(name);
    }
    EXPECT_FALSE(read.contains("Never set"));

    // Removing and saving again leaves the others alone.
    Registry changed(path);
    changed.remove("Umlaute");
    ASSERT_TRUE(changed.save());
    const Registry again(path);
    EXPECT_FALSE(again.contains("Umlaute"));
    EXPECT_EQ(again.value(Registry::kKazDirectory), "/opt/my apps/kaz");

    // Damaged, missing or unwritable files.
    ASSERT_TRUE(QFile::remove(path));

    // Missing: empty, and the language is the default; so is one it does not know.
    EXPECT_FALSE(Registry(path).contains(Registry::kLanguage));
    EXPECT_EQ(storedLanguage(), kDefaultLanguage);
    for (const auto &[stored, language] : {std::pair{"english", Language::English}, std::pair{"klingon", kDefaultLanguage}}) {
        Registry r;
        r.setValue(Registry::kLanguage, stored);
        ASSERT_TRUE(r.save());
        EXPECT_EQ(storedLanguage(), language) << stored;
    }

    // Lines without a name, binary rubbish and Windows line ends.
    static const char raw[] = "=nameless\r\nno equals sign\r\n\xff\xfe\x00\x01garbage\r\n"
                              "Language=english\r\nKAZ Directory=/x\n";
    ASSERT_TRUE(writeAll(path, QByteArray(raw, sizeof raw - 1)));
    const Registry damaged(path);
    EXPECT_EQ(damaged.value(Registry::kLanguage), "english");
    EXPECT_EQ(damaged.value(Registry::kKazDirectory), "/x");
    EXPECT_FALSE(damaged.contains(QString()));

    // A file far too large for a few values is not read at all.
    ASSERT_TRUE(writeAll(path, "Language=english\n" + QByteArray(2 * 1024 * 1024, 'x')));
    EXPECT_FALSE(Registry(path).contains(Registry::kLanguage));

    // A place that cannot take the file: save says so.
    ASSERT_TRUE(writeAll(home.path() + "/plainfile", "x"));
    Registry nowhere(home.path() + "/plainfile/registry");
    nowhere.setValue(Registry::kLanguage, "german");
    EXPECT_FALSE(nowhere.save());
}
