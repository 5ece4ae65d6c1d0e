#pragma once

#include "platform/Prompter.h"

class QWidget;

namespace kaz {

// Answers the logic's questions with modal message boxes.
class GuiPrompter : public Prompter
{
public:
    explicit GuiPrompter(QWidget *parent = nullptr)
        : m_parent(parent)
    {
    }
    Button ask(MessageKind kind, ButtonSet buttons, const QString &text) override;
    void report(MessageKind kind, const QString &summary, const QStringList &lines) override;

private:
    QWidget *m_parent;
};

} // namespace kaz
