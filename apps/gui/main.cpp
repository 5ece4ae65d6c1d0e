// The KAZ window program: "kaz" or "kaz -open FOLDER".
#include "fromname/ui/FromNamePage.h"
#include "cleanup/ui/CleanupPage.h"
#include "rename/ui/RenamePage.h"
#include "widgets/AppIcon.h"
#include "widgets/GuiPrompter.h"
#include "shell/ui/MainSession.h"
#include "shell/ui/MainWindow.h"
#include "structure/ui/StructureMenus.h"
#include "tools/ui/ToolsMenus.h"

#include "shell/SingleInstance.h"
#include "shell/Startup.h"
#include "platform/Licence.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>
#include <cstring>

using namespace kaz;

namespace {

// The notebook's pages, in tab order; page "0" keeps the undo's run state.
RenamePage *addPages(MainWindow &window)
{
    auto *renamePage = new RenamePage(window);
    window.addPage(renamePage);
    window.addPage(new CleanupPage(window));
    window.addPage(new FromNamePage(window));
    return renamePage;
}

// "--help" and "--version" are answered before a display is needed.
bool answeredInfoOption(int argc, char **argv)
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--version") == 0) {
        std::printf("kaz %s\n%s", KAZ_VERSION, kaz::kLicenceNote);
        return true;
    }
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fputs("Usage: kaz [-open] [FOLDER|FILE]\n\n"
                   "Opens the KAZ window, which brings order into collections of MP3 files.\n"
                   "Only one window runs at a time; a second start ends at once.\n\n"
                   "Options:\n"
                   "  -open PATH, PATH  Open the folder PATH (a file: its folder, with the file selected).\n"
                   "  -h, --help        Displays this help.\n"
                   "  --version         Displays version information.\n\n"
                   "Every operation is also a command of kaz-cli (kaz-cli --help).\n",
                   stdout);
        return true;
    }
    return false;
}

} // namespace

int main(int argc, char **argv)
{
    if (answeredInfoOption(argc, argv))
        return 0;
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("kaz"));
    QApplication::setApplicationDisplayName(QStringLiteral("KAZ Quillbay"));
    QApplication::setWindowIcon(appIcon());
    QApplication::setDesktopFileName(QStringLiteral("kaz"));
    // The window is laid out for a compact font.
    QFont font = QApplication::font();
    if (font.pointSizeF() > 9)
        font.setPointSizeF(9);
    QApplication::setFont(font);

    const QStringList arguments = app.arguments().mid(1);
    GuiPrompter prompter;
    SingleInstance guard;
    if (!claimSingleInstance(guard, arguments, prompter))
        return 0;

    const QSize screen = QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->size() : QSize(1024, 768);
    const QString executable = QCoreApplication::applicationFilePath();
    StartupResult startup = startUp({arguments, screen, executable}, prompter);
    if (startup.outcome == StartupResult::Outcome::NotWritable)
        return 1;

    MainWindowOptions options;
    options.startFolder = startup.settings.lastDir;
    options.selectName = startup.selectName;
    options.language = startup.language;
    options.showHints = startup.settings.showHints;
    options.fontSize = startup.settings.fontSize;
    options.page = startup.settings.page;
    MainWindow window(options);
    RenamePage *renamePage = addPages(window);
    MainSession session(std::move(startup), executable, window);
    ToolsMenus tools(window, window, [&window](QToolButton *button) { window.addToolButton(button); });
    // After the session has read the file again.
    QObject::connect(&window, &MainWindow::configurationReloadRequested, &tools, &ToolsMenus::refresh);
    QObject::connect(&window, &MainWindow::languageChanged, &tools, &ToolsMenus::applyLanguage);
    // The folder pop-up's structure runs and page "0"'s Undo share one run state.
    StructureMenus structure(window, window, &renamePage->runState());
    QObject::connect(&window, &MainWindow::languageChanged, &structure, &StructureMenus::applyLanguage);
    session.apply();
    tools.applyLanguage(window.language());
    window.show();
    return app.exec();
}
