#pragma once

#include <QString>

#include <functional>

namespace kaz {

// The two lines at the bottom of the main window as the pages use them: the
// order of the selections on the left, the status on the right.
class HostStatus
{
public:
    virtual ~HostStatus() = default;

    virtual void setStatusText(const QString &text) = 0;
    virtual void setOrderText(const QString &text) = 0;
    virtual QString orderText() const = 0;
    // The status line's colour while the numbering dialog is open.
    virtual void setHighlighted(bool highlighted) = 0;
    // The page that composes names tells the window how, for the status line.
    virtual void setNamePreview(std::function<QString(const QString &path)> preview) = 0;
    // "selected/listed", empty for an empty list.
    virtual void showCount() = 0;
    // The status text for the selection (the composed name of a single
    // file, or the count form), as a double click on the line shows it.
    virtual void reset() = 0;
};

} // namespace kaz
