// The program's messages: the ones that follow a count, and how a terminal gets them.
#include "support/TestSupport.h"

#include "platform/Messages.h"

using namespace kaz;

TEST(Messages, ATextAfterACountStartsWithABlank)
{
    for (Language l : {Language::English, Language::German})
        EXPECT_TRUE(message(Msg::FilesNotRenamed, l).startsWith(QLatin1Char(' '))) << int(l);
    EXPECT_NE(message(Msg::FilesNotRenamed, Language::English), message(Msg::FilesNotRenamed, Language::German));
}

TEST(Messages, TerminalGetsPlainLineBreaks)
{
    const QString text = forTerminal(message(Msg::NotOnHardDisk, Language::English));
    EXPECT_EQ(text, "KAZ will only run from HD!\n\nPlease install KAZ on HD.");
    EXPECT_EQ(forTerminal("a\r\nb"), "a\r\nb") << "only the program's own pair";
}
