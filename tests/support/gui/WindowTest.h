#pragma once

#include "support/gui/FindChild.h"
#include "support/gui/ModalWatch.h"
#include "support/gui/TestWindow.h"

#include <QDir>
#include <QListWidget>
#include <QPushButton>

#include <functional>
#include <type_traits>

namespace kaz::test {

// Acts on the next modal dialog, whatever its name; fails the test when none opens.
inline void whenDialogOpens(std::function<void(QWidget *)> act)
{
    whenModalOpens(QString(), std::move(act));
}

// The page-test fixture: a temporary home, a music folder, and the main
// window over it with one real page among placeholders, answered by a
// scripted prompter and driven by control names.
class WindowTest : public ::testing::Test
{
protected:
    // Opens the window on folder (made when missing) with a Page at index
    // of the three (placeholders only without a Page); more runs before the
    // window is shown.
    template <typename Page = void>
    Page *open(int index = 0, Language language = Language::English,
               const std::function<void(MainWindow &)> &more = {})
    {
        QDir().mkpath(folder);
        Page *page = nullptr;
        MainWindowOptions options = TestWindow::options(folder, language);
        options.activationDelayMs = activationDelayMs;
        options.eventsProcessed = eventsProcessed;
        shown.open(options, [&](MainWindow &w) {
            for (int i = 0; i < 3; ++i) {
                if constexpr (!std::is_void_v<Page>) {
                    if (i == index) {
                        w.addPage(page = new Page(w));
                        continue;
                    }
                }
                w.addPage(placeholderPage(i));
            }
            if (more)
                more(w);
        });
        return page;
    }

    // A tagged MP3 file in the folder.
    void add(const QString &name, const TagValues &v) { ASSERT_TRUE(writeAll(folder + "/" + name, mp3WithTag(v))); }
    QStringList names() const { return QDir(folder).entryList(QDir::Files, QDir::Name); }

    template <typename T>
    T *child(const char *name) const { return find<T>(window.get(), name); }
    QPushButton *button(const char *name) const { return child<QPushButton>(name); }
    QListWidget *files() const { return child<QListWidget>("FileListBox1"); }
    // Selects exactly these rows of the file list.
    void selectRows(const QList<int> &rows) const
    {
        files()->clearSelection();
        for (int r : rows)
            files()->item(r)->setSelected(true);
    }

    TempHome home;
    QString folder = home.music() + "/In";
    int activationDelayMs = 0;
    std::function<void()> eventsProcessed; // told whenever a run lets events through
    TestWindow shown;
    ScriptedPrompter &prompter = shown.prompter;
    std::unique_ptr<MainWindow> &window = shown.window;
};

} // namespace kaz::test
