#pragma once

#include <QObject>
#include <QPointer>

class QWidget;

namespace kaz {

class HelpWindow;
class PageHost;

// The Help menu's commands and the help window, which follows the window
// or dialog it was asked for from.
class HelpCommands : public QObject
{
    Q_OBJECT
public:
    HelpCommands(PageHost &host, QWidget &window);

    void openHelp(int context);
    void showAbout();
    void showShortcuts();
    void openHomepage();

private:
    PageHost &m_host;
    QWidget &m_window;
    QPointer<HelpWindow> m_helpWindow;
};

} // namespace kaz
