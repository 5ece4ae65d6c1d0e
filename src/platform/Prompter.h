#pragma once

#include <QString>
#include <QStringList>

namespace kaz {

enum class MessageKind { Information, Warning, Error, Confirmation };

enum class ButtonSet { Ok, OkCancel, YesCancel, YesNo, YesCancelIgnore, YesAbortAll, OkNoAll };

enum class Button { Ok, Cancel, Yes, No, Ignore, Abort, All };

// How the logic asks the user something or tells them something. The GUI
// answers with message boxes, the command line on the terminal, the tests
// with a scripted answerer.
class Prompter
{
public:
    virtual ~Prompter() = default;
    virtual Button ask(MessageKind kind, ButtonSet buttons, const QString &text) = 0;

    void inform(MessageKind kind, const QString &text) { ask(kind, ButtonSet::Ok, text); }
    // A message with a list that may be long (the files a run could not
    // handle); shown as one text unless the prompter can do better.
    virtual void report(MessageKind kind, const QString &summary, const QStringList &lines);
};

// Answers every question with the first button of its set; for runs that
// must not stop for a question nobody sees.
class SilentPrompter : public Prompter
{
public:
    Button ask(MessageKind, ButtonSet buttons, const QString &) override;
};

Button firstButton(ButtonSet buttons);

} // namespace kaz
