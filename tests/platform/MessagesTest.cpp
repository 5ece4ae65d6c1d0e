// The program's messages, letter for letter, and how a terminal gets them.
#include "support/TestSupport.h"

#include "platform/Messages.h"

using namespace kaz;

TEST(Messages, TextsAreKeptLetterForLetterInBothLanguages)
{
    struct Case {
        Msg id;
        const char *english;
        const char *german;
    } cases[] = {
        {Msg::AlreadyRunning, "  KAZ is already running!  ", "  KAZ is already running!  "},
        {Msg::WinampFolder, "WinAmp-directory doesn´t exist anymore!\n\r\n\rPlease chose new WinAnmp-directory.", nullptr},
        {Msg::NotOnHardDisk, "KAZ will only run from HD!\n\r\n\rPlease install KAZ on HD.",
         "KAZ läuft nur von HD!\n\r\n\rKAZ bitte auf HD installieren."},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(message(c.id, Language::English), QString::fromUtf8(c.english));
        if (c.german) {
            EXPECT_EQ(message(c.id, Language::German), QString::fromUtf8(c.german));
        }
    }
    // A text that follows a count starts with a blank in both languages.
    for (Language l : {Language::English, Language::German})
        EXPECT_TRUE(message(Msg::FilesNotRenamed, l).startsWith(QLatin1Char(' '))) << int(l);
    EXPECT_NE(message(Msg::FilesNotRenamed, Language::English), message(Msg::FilesNotRenamed, Language::German));
}

TEST(Messages, TerminalGetsPlainLineBreaks)
{
    const QString text = forTerminal(message(Msg::NotOnHardDisk, Language::English));
    EXPECT_EQ(text, QStringLiteral("KAZ will only run from HD!\n\nPlease install KAZ on HD."));
    EXPECT_FALSE(text.contains(QLatin1Char('\r')));
    EXPECT_EQ(forTerminal(QStringLiteral("a\r\nb")), QStringLiteral("a\r\nb")) << "only the program's own pair";
}
