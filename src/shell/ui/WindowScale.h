#pragma once

#include <QFont>
#include <QHash>
#include <QObject>
#include <QPointer>
#include <QSize>
#include <QWidget>

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
    struct Original {
        QPointer<QWidget> widget;
        QFont font;
        bool ownFont = false;
        QSize minimum;
        QSize maximum;
    };
    // Every control at the current scale: its font and the sizes fixed in
    // pixels; at scale 1 each as it was first.
    void applyScale();
    void scaleWidget(QWidget *widget, const Original &original);

    QMainWindow &m_window;
    FolderBrowser &m_browser;
    int m_fontSize;
    double m_scale = 1.0;
    QHash<QWidget *, Original> m_originals;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
};

} // namespace kaz
