#pragma once

#include <QObject>

class QMainWindow;
class QToolButton;

namespace kaz {

class FolderBrowser;
class RunFrame;

// The window's size and the file list's font: "KAZ size" (increase by a
// quarter, standard 601 x 471) and the buttons "A+" and "A-" beside the file
// list, which step its font by two points.
class WindowScale : public QObject
{
    Q_OBJECT
public:
    WindowScale(QMainWindow &window, FolderBrowser &browser, int fontSize);

    // Enlarging by "increase" is allowed on a screen of this height.
    static bool canEnlarge(int screenHeight, int windowHeight);
    void enlarge();
    void standardSize();

    int fontSize() const { return m_fontSize; }
    void setFontSize(int size);
    void registerLocks(RunFrame &frame);

private:
    void applyFont();

    QMainWindow &m_window;
    FolderBrowser &m_browser;
    int m_fontSize;
    double m_scale = 1.0;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};

} // namespace kaz
