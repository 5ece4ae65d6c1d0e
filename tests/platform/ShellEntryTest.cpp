// The folder context-menu entry: one language's entry at a time, a program
// path of any characters quoted for the desktop, and the registry stand-in
// following every change.
#include "support/TestSupport.h"

#include "platform/Paths.h"
#include "platform/Registry.h"
#include "platform/ShellEntry.h"

#include <QFile>

using namespace kaz;
using namespace kaz::test;

TEST(ShellEntry, OneLanguagesEntryAtATimeAndTheRegistryFollows)
{
    TempHome home;
    const QString program = "/opt/my apps/k\"a$z";
    ASSERT_TRUE(applyShellRegistration(true, Language::English, programFolder(), program));
    const QByteArray entry = readAll(shellEntryPath(Language::English));
    EXPECT_TRUE(entry.contains("Name=Rename contents of directory with KAZ\n"));
    EXPECT_TRUE(entry.contains("Exec=\"/opt/my apps/k\\\\\"a\\\\$z\" -open %f\n")) << entry.constData();
    EXPECT_TRUE(entry.contains("MimeType=inode/directory;\n"));
    EXPECT_EQ(Registry().value(Registry::kLanguage), "english");
    EXPECT_EQ(Registry().value(Registry::kKazDirectory), programFolder());

    ASSERT_TRUE(applyShellRegistration(true, Language::German, programFolder(), program));
    EXPECT_FALSE(QFile::exists(shellEntryPath(Language::English)));
    EXPECT_TRUE(readAll(shellEntryPath(Language::German)).contains("Name=Verzeichnisinhalt mit KAZ bearbeiten\n"));
    EXPECT_EQ(Registry().value(Registry::kLanguage), "german");

    // Not wanted: no entry of either language, and the registry still follows.
    ASSERT_TRUE(applyShellRegistration(false, Language::English, programFolder(), program));
    EXPECT_FALSE(shellEntryExists());
    EXPECT_EQ(Registry().value(Registry::kLanguage), "english");
}
