#pragma once

#include "support/TestSupport.h"

#include "tags/TagIO.h"

namespace kaz::test {

// One song file in a temporary home, read and written with a scripted prompter.
class TagFile : public ::testing::Test
{
protected:
    TagRecord read(const QByteArray &bytes, bool useId3v2 = false, bool reportId3v2 = false)
    {
        EXPECT_TRUE(writeAll(path, bytes));
        TagContext context;
        context.prompter = &prompter;
        context.language = Language::English;
        context.useId3v2 = useId3v2;
        context.reportId3v2 = reportId3v2;
        return readTag(path, context);
    }

    // Writes the values into the file as a write from names does.
    TagWriteResult set(const TagOverride &values)
    {
        TagContext context;
        context.prompter = &prompter;
        context.override = &values;
        TagWriteResult result;
        QString name = path;
        get_id3tag(name, false, context, &result);
        return result;
    }

    TempHome home;
    QString path = home.music() + QStringLiteral("/song.mp3");
    ScriptedPrompter prompter;
    QByteArray audio = mp3Frames(3);
};

} // namespace kaz::test
