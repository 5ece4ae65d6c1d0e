#pragma once

#include "shell/ui/MainWindow.h"
#include "support/gui/FindChild.h"
#include "support/gui/PlaceholderPage.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace kaz::test {

// The stand-in for the notebook page at index (0 to 2) in window tests.
inline NotebookPage *placeholderPage(int index)
{
    switch (index) {
    case 0: return new PlaceholderPage("page0", "ID3Tag -> filename", "ID3Tag -> Dateiname", 4);
    case 1: return new PlaceholderPage("page1", "Cleanup filenames", "Dateinamen bereinigen", 7);
    default: return new PlaceholderPage("page2", "Filename -> ID3Tag", "Dateiname -> ID3Tag", 2);
    }
}

// The three pages that stand in for the notebook in window tests.
inline void placeholderPages(MainWindow &window)
{
    for (int i = 0; i < 3; ++i)
        window.addPage(placeholderPage(i));
}

// A main window as the program opens it, for tests: a scripted prompter
// answers its questions, it waits for nothing when re-activated, and it is
// shown off screen.
struct TestWindow {
    ScriptedPrompter prompter; // outlives the window
    std::unique_ptr<MainWindow> window;

    static MainWindowOptions options(const QString &folder, Language language = Language::English)
    {
        MainWindowOptions o;
        o.startFolder = folder;
        o.language = language;
        o.activationDelayMs = 0;
        return o;
    }

    // Makes the window; setUp adds the pages (which need their host) and
    // whatever else comes before the window is shown; then the window is
    // shown and activated.
    MainWindow &open(const MainWindowOptions &o, const std::function<void(MainWindow &)> &setUp = placeholderPages)
    {
        window.reset();
        window = std::make_unique<MainWindow>(o);
        window->setPrompter(&prompter);
        setUp(*window);
        window->show();
        window->reactivate();
        return *window;
    }
    MainWindow &open(const QString &folder, const std::function<void(MainWindow &)> &setUp = placeholderPages)
    {
        return open(options(folder), setUp);
    }

    MainWindow *operator->() const { return window.get(); }

    // A control by its name; the test fails when there is none.
    template <typename T>
    T *child(const char *name) const { return find<T>(window.get(), name); }
};

} // namespace kaz::test
