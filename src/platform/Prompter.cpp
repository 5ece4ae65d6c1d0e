#include "Prompter.h"

namespace kaz {

void Prompter::report(MessageKind kind, const QString &summary, const QStringList &lines)
{
    inform(kind, summary + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
}

Button firstButton(ButtonSet buttons)
{
    switch (buttons) {
    case ButtonSet::Ok:
    case ButtonSet::OkCancel:
    case ButtonSet::OkNoAll:
        return Button::Ok;
    case ButtonSet::YesCancel:
    case ButtonSet::YesNo:
    case ButtonSet::YesCancelIgnore:
    case ButtonSet::YesAbortAll:
        return Button::Yes;
    }
    return Button::Ok;
}

Button SilentPrompter::ask(MessageKind, ButtonSet buttons, const QString &)
{
    return firstButton(buttons);
}

} // namespace kaz
