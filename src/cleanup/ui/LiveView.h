#pragma once

#include <QLineEdit>

namespace kaz {

// The live view "view1": a read-only, fixed-pitch line with the base name
// of the current file. It reports right-button presses and tells where a
// character boundary stands, so that the ruler's labels can stand over it.
class LiveView : public QLineEdit
{
    Q_OBJECT
public:
    explicit LiveView(QWidget *parent = nullptr);

    int characterWidth() const;
    // The x of the boundary before character index (0-based), in this
    // widget's coordinates, scrolling included.
    int boundaryX(int index) const;
    // The index of the character under x (the caret goes before it).
    int characterAt(int x) const;

Q_SIGNALS:
    void rightPressed(const QPoint &position);
    void selectionMoved();

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
};

} // namespace kaz
