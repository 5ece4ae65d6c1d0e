// What the window tells after a run or an undo that could not do
// everything, the one rule for "undo is available", and the re-activation
// that waits in the event loop.
#include "rename/ui/RenamePage.h"

#include "platform/WorkFiles.h"
#include "shell/ui/MainWindow.h"
#include "support/TestSupport.h"
#include "widgets/GuiPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

using namespace kaz;
using namespace kaz::test;

namespace {

class RunReportTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = home.music() + "/In";
        QDir().mkpath(folder);
        QDir().mkpath(QFileInfo(workFilePath(workfile::UndoOld)).path());
    }

    void add(const QString &name, const TagValues &v) { ASSERT_TRUE(writeAll(folder + "/" + name, mp3WithTag(v))); }

    void open(int activationDelayMs = 0)
    {
        MainWindowOptions options;
        options.startFolder = folder;
        options.language = Language::English;
        options.activationDelayMs = activationDelayMs;
        window = std::make_unique<MainWindow>(options);
        window->setPrompter(&prompter);
        page = new RenamePage(*window);
        window->addPage(page);
        window->show();
        window->reactivate();
    }

    QPushButton *button(const char *name) { return window->findChild<QPushButton *>(QLatin1String(name)); }
    QListWidget *files() { return window->findChild<QListWidget *>(QStringLiteral("FileListBox1")); }

    TempHome home;
    QString folder;
    ScriptedPrompter prompter;
    std::unique_ptr<MainWindow> window;
    RenamePage *page = nullptr;
};

} // namespace

TEST_F(RunReportTest, FilesARunLeftAloneAreListed)
{
    add("a.mp3", values("Waterloo", "Abba", "Gold"));
    add("line\nbreak.mp3", values("SOS", "Abba", "Gold"));
    open();
    window->selectAll();
    button("SpeedButton1")->click();

    ASSERT_EQ(prompter.shown.size(), 1) << prompter.shown.join("|").toStdString();
    const QString shown = prompter.shown.first();
    EXPECT_TRUE(shown.startsWith("1 files or folders were not renamed and keep their names:")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("line break: " + folder + "/line\nbreak.mp3")) << shown.toStdString();
    EXPECT_TRUE(QFile::exists(folder + "/line\nbreak.mp3"));
}

TEST_F(RunReportTest, AnUndoThatCannotFinishSaysSoAndKeepsTheLines)
{
    add("a.mp3", values("Waterloo", "Abba", "Gold"));
    add("b.mp3", values("SOS", "Abba", "Gold"));
    open();
    window->selectAll();
    button("SpeedButton1")->click();
    ASSERT_TRUE(QFile::exists(folder + "/Abba - Gold - Waterloo.mp3"));
    ASSERT_TRUE(prompter.shown.isEmpty());

    // Something new took one old name: the undo never replaces it.
    ASSERT_TRUE(writeAll(folder + "/a.mp3", "not mine"));
    ASSERT_TRUE(button("BitBtn5")->isEnabled());
    button("BitBtn5")->click();

    ASSERT_EQ(prompter.shown.size(), 1);
    const QString shown = prompter.shown.first();
    EXPECT_TRUE(shown.startsWith("1 files could not get their old names back:")) << shown.toStdString();
    EXPECT_TRUE(shown.contains("They stay in the undo logs")) << shown.toStdString();
    EXPECT_TRUE(shown.contains(folder + "/a.mp3")) << shown.toStdString();
    EXPECT_TRUE(QFile::exists(folder + "/b.mp3"));
    EXPECT_EQ(readAll(folder + "/a.mp3"), "not mine");
    EXPECT_TRUE(QFile::exists(folder + "/Abba - Gold - Waterloo.mp3"));
}

TEST_F(RunReportTest, UndoButtonNeedsBothLogs)
{
    add("a.mp3", values("Waterloo", "Abba", "Gold"));
    open();
    ASSERT_TRUE(writeAll(workFilePath(workfile::UndoNew), folder.toUtf8() + "/x.mp3\r\n"));
    window->refillFileList();
    EXPECT_FALSE(button("BitBtn5")->isEnabled()) << "one log alone cannot be undone";
    ASSERT_TRUE(writeAll(workFilePath(workfile::UndoOld), folder.toUtf8() + "/a.mp3\r\n"));
    window->refillFileList();
    EXPECT_TRUE(button("BitBtn5")->isEnabled());
}

TEST_F(RunReportTest, ReportDialogScrollsThroughEveryLine)
{
    QStringList lines;
    for (int i = 0; i < 300; ++i)
        lines << QStringLiteral("/music/file %1.mp3: Permission denied").arg(i);
    QString listed;
    QTimer::singleShot(0, [&] {
        QWidget *dialog = QApplication::activeModalWidget();
        ASSERT_NE(dialog, nullptr);
        auto *list = dialog->findChild<QPlainTextEdit *>(QStringLiteral("ReportList"));
        ASSERT_NE(list, nullptr);
        listed = list->toPlainText();
        EXPECT_GT(list->verticalScrollBar()->maximum(), 0);
        dialog->close();
    });
    QWidget parent;
    GuiPrompter(&parent).report(MessageKind::Warning, "300 files were not renamed:", lines);
    EXPECT_EQ(listed, lines.join('\n'));
}

TEST_F(RunReportTest, ReactivationFillsTheListsFromTheEventLoop)
{
    add("a.mp3", values("Waterloo", "Abba", "Gold"));
    open(50);
    EXPECT_EQ(files()->count(), 0) << "nothing is read before the pause has passed";
    EXPECT_TRUE(window->isActivated());
    EXPECT_TRUE(QTest::qWaitFor([this] { return files()->count() == 1; }));

    // A deactivation during the pause leaves everything released.
    window->deactivate();
    window->reactivate();
    window->deactivate();
    for (QTimer *timer : window->findChildren<QTimer *>()) {
        if (timer->isActive() && timer->isSingleShot() && timer->interval() == 50) { // the pause
            EXPECT_TRUE(QTest::qWaitFor([timer] { return !timer->isActive(); }));
        }
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(files()->count(), 0);
    EXPECT_FALSE(window->isActivated());
}
