#pragma once

#include "widgets/HostStatus.h"

#include <QObject>
#include <QString>

#include <functional>

class QHBoxLayout;
class QLabel;
class QWidget;

namespace kaz {

class MainWindow;
class RunFrame;
class StatusLine;

// The two lines at the bottom of the window: the order of the selections on
// the left, and the status on the right, which shows the count of selected
// and listed files, or for a single file the name page "0" would give it
// ("NoTag!" without a tag), rotatable with the mouse.
class StatusRow : public QObject, public HostStatus
{
    Q_OBJECT
public:
    explicit StatusRow(MainWindow &window);

    QHBoxLayout *layout() const { return m_layout; }
    void registerLocks(RunFrame &frame);

    void setStatusText(const QString &text) override;
    void setOrderText(const QString &text) override;
    QString orderText() const override;
    void setHighlighted(bool highlighted) override;
    void setNamePreview(std::function<QString(const QString &path)> preview) override;
    void showCount() override;
    void reset() override;
    // A single selected file shows its name preview and may be rotated.
    void selectionChanged();
    // Selecting all or none shows the count.
    void showCountOfAll();

private:
    QString namePreviewText() const;

    MainWindow &m_window;
    QLabel *m_orderLine = nullptr;
    StatusLine *m_statusLine = nullptr;
    QHBoxLayout *m_layout = nullptr;
    std::function<QString(const QString &)> m_namePreview;
};

} // namespace kaz
