// How a terminal gets the program's messages.
#include "support/TestSupport.h"

#include "platform/Messages.h"

using namespace kaz;

TEST(Messages, TerminalGetsPlainLineBreaks)
{
    const QString text = forTerminal(message(Msg::NotOnHardDisk, Language::English));
    EXPECT_EQ(text, "KAZ will only run from HD!\n\nPlease install KAZ on HD.");
    EXPECT_EQ(forTerminal("a\r\nb"), "a\r\nb") << "only the program's own pair";
}
