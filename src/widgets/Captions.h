#pragma once

#include "platform/Language.h"

#include <QString>

#include <span>

class QObject;

namespace kaz {

// One control's text in both languages, found by its object name.
struct Caption {
    const char *name;
    const char *english;
    const char *german;
};

// Sets the caption of an action, menu, button, group box or label.
void setCaption(QObject *object, const QString &text);

// The language routine's loop: every named child of root below gets its
// caption, or its tool tip, in the language.
void applyCaptions(QObject &root, Language language, std::span<const Caption> captions);
void applyHints(QObject &root, Language language, std::span<const Caption> hints);

// A new control with its object name, so that a form is built in one expression.
template <typename W>
W *named(W *widget, const char *name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace kaz
