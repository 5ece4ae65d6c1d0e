// Pictures of the tag editor for a look by eye: run with KAZ_SCREENSHOT_DIR
// set (under Xvfb for real fonts); skipped otherwise.
#include "editor/ui/TagEditorDialog.h"

#include "platform/MediaPlayer.h"
#include "support/Id3v2Fixture.h"
#include "support/TestSupport.h"
#include "tags/DemoCollection.h"

#include <QApplication>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace kaz;
using namespace kaz::test;

TEST(TagEditorScreens, Capture)
{
    const QString out = qEnvironmentVariable("KAZ_SCREENSHOT_DIR");
    if (out.isEmpty())
        GTEST_SKIP() << "KAZ_SCREENSHOT_DIR not set";
    TempHome home;
    const QString dir = home.music() + QStringLiteral("/Queen/Innuendo");
    struct Song {
        const char *name;
        TagValues values;
        bool tagged;
    } songs[] = {
        {"tagged", values(QStringLiteral("Innuendo"), QStringLiteral("Queen"), QStringLiteral("Innuendo"), QStringLiteral("1991"),
                          QStringLiteral("remastered"), QStringLiteral("1"), 17), true},
        {"untagged", {}, false},
        {"extended", values(QStringLiteral("I'm Going Slightly Mad (Single Version, 1991)"), QStringLiteral("Queen"),
                            QStringLiteral("Innuendo (Deluxe Edition 2011 Remaster)"), QStringLiteral("1991")), true},
    };
    TagEditorSession session;
    for (Language language : {Language::English, Language::German}) {
        const QString suffix = language == Language::English ? QStringLiteral("-en") : QStringLiteral("-de");
        for (const Song &s : songs) {
            DemoFile f;
            f.relativePath = QString::fromLatin1(s.name) + QStringLiteral(".mp3");
            f.values = s.values;
            f.tagged = s.tagged;
            writeDemoFile(dir, f);
            TagContext context;
            context.language = language;
            TagEditorDialog dialog(session, context, nullMediaPlayer());
            dialog.setSequence(2, 5);
            dialog.openFile(dir + QLatin1Char('/') + f.relativePath);
            dialog.show();
            QTest::qWait(200);
            dialog.grab().save(out + QStringLiteral("/editor-") + QLatin1String(s.name) + suffix + QStringLiteral(".png"));
            if (QLatin1String(s.name) == QLatin1String("tagged")) {
                dialog.findChild<QPushButton *>(QStringLiteral("BitBtn2"))->click();
                QTest::qWait(100);
                dialog.grab().save(out + QStringLiteral("/editor-stripped") + suffix + QStringLiteral(".png"));
                dialog.findChild<QPushButton *>(QStringLiteral("BitBtn1"))->click();
                dialog.findChild<QPushButton *>(QStringLiteral("Button1"))->click();
                auto *insert = dialog.findChild<QPushButton *>(QStringLiteral("Button2"));
                Q_EMIT insert->customContextMenuRequested(QPoint(20, 10));
                QTest::qWait(300);
                QApplication::primaryScreen()->grabWindow(0).save(out + QStringLiteral("/editor-clipboard-menu") + suffix
                                                                   + QStringLiteral(".png"));
                dialog.findChild<QMenu *>(QStringLiteral("PopupMenu2"))->hide();
            }
            dialog.close();
        }
        // A file with an ID3v2 tag and no ID3v1 tag, the tag source on.
        Id3v2Spec spec;
        spec.frames = {{"TIT2", QStringLiteral("Headlong")}, {"TPE1", QStringLiteral("Queen")},
                       {"TALB", QStringLiteral("Innuendo")}, {"TDRC", QStringLiteral("1991-02-04")},
                       {"TRCK", QStringLiteral("3/12")}, {"TCON", QStringLiteral("(17)Rock")}};
        const QString v2 = dir + QStringLiteral("/id3v2.mp3");
        writeAll(v2, id3v2Tag(spec) + mp3Frames(3));
        TagContext context;
        context.language = language;
        context.useId3v2 = true;
        TagEditorDialog dialog(session, context, nullMediaPlayer());
        dialog.setSequence(1, 1);
        dialog.openFile(v2);
        dialog.show();
        QTest::qWait(200);
        dialog.grab().save(out + QStringLiteral("/editor-id3v2") + suffix + QStringLiteral(".png"));
        dialog.close();
    }
}
