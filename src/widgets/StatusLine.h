#pragma once

#include <QLabel>

namespace kaz {

// The status line below the file list. While the left mouse button is held
// on it, moving left or right rotates the text one character per move; a
// double click asks for the text to be reset. Scrolling is only offered
// when the window allows it (exactly one file selected).
class StatusLine : public QLabel
{
    Q_OBJECT
public:
    explicit StatusLine(const QString &objectName, QWidget *parent = nullptr);

    void setScrollable(bool scrollable) { m_scrollable = scrollable; }
    void rotateLeft();
    void rotateRight();

Q_SIGNALS:
    void resetRequested();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    bool m_scrollable = false;
    bool m_pressed = false;
    int m_lastX = 0;
};

} // namespace kaz
