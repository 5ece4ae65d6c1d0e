#include "HelpCommands.h"

#include "AboutDialog.h"
#include "ShortcutsTipsDialog.h"

#include "widgets/HelpWindow.h"
#include "widgets/PageHost.h"

#include <QApplication>
#include <QDesktopServices>
#include <QUrl>

namespace kaz {
namespace {

const char *const kHomepage = "https://www.quillbay.example/kaz/";

} // namespace

HelpCommands::HelpCommands(PageHost &host, QWidget &window)
    : QObject(&window)
    , m_host(host)
    , m_window(window)
{
}

void HelpCommands::openHelp(int context)
{
    // A modal dialog blocks every window but its own: help asked for from
    // one belongs to it (and closes with it), so that it can be used while
    // the dialog is open.
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner || owner == m_helpWindow)
        owner = &m_window;
    if (m_helpWindow && m_helpWindow->parentWidget() != owner) {
        m_helpWindow->hide();
        m_helpWindow->deleteLater();
        m_helpWindow = nullptr;
    }
    if (!m_helpWindow)
        m_helpWindow = new HelpWindow(owner);
    m_helpWindow->showContext(m_host.language(), context);
    m_helpWindow->show();
    m_helpWindow->raise();
}

void HelpCommands::showAbout()
{
    m_host.runInDialogFrame([this] {
        AboutDialog box(&m_window);
        box.applyLanguage(m_host.language());
        box.exec();
    });
}

void HelpCommands::showShortcuts()
{
    m_host.runInDialogFrame([this] {
        ShortcutsTipsDialog tips(&m_window);
        tips.applyLanguage(m_host.language());
        tips.exec();
    });
}

void HelpCommands::openHomepage()
{
    QDesktopServices::openUrl(QUrl(QLatin1String(kHomepage)));
}

} // namespace kaz
