#include "GuiPrompter.h"

#include "QtTranslations.h"
#include "ReportDialog.h"

#include "platform/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>

namespace kaz {
namespace {

struct Choice {
    QMessageBox::StandardButton qt;
    Button button;
};

QList<Choice> choices(ButtonSet set)
{
    using B = QMessageBox;
    switch (set) {
    case ButtonSet::Ok:
        return {{B::Ok, Button::Ok}};
    case ButtonSet::OkCancel:
        return {{B::Ok, Button::Ok}, {B::Cancel, Button::Cancel}};
    case ButtonSet::YesCancel:
        return {{B::Yes, Button::Yes}, {B::Cancel, Button::Cancel}};
    case ButtonSet::YesNo:
        return {{B::Yes, Button::Yes}, {B::No, Button::No}};
    case ButtonSet::YesCancelIgnore:
        return {{B::Yes, Button::Yes}, {B::Cancel, Button::Cancel}, {B::Ignore, Button::Ignore}};
    case ButtonSet::YesAbortAll:
        return {{B::Yes, Button::Yes}, {B::Abort, Button::Abort}, {B::YesToAll, Button::All}};
    case ButtonSet::OkNoAll:
        return {{B::Ok, Button::Ok}, {B::No, Button::No}, {B::YesToAll, Button::All}};
    }
    return {{B::Ok, Button::Ok}};
}

QMessageBox::Icon icon(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QMessageBox::Warning;
    case MessageKind::Error:
        return QMessageBox::Critical;
    case MessageKind::Confirmation:
        return QMessageBox::Question;
    case MessageKind::Information:
        break;
    }
    return QMessageBox::Information;
}

} // namespace

void GuiPrompter::report(MessageKind kind, const QString &summary, const QStringList &lines)
{
    ReportDialog dialog(kind, summary, lines, m_parent);
    dialog.exec();
}

Button GuiPrompter::ask(MessageKind kind, ButtonSet buttons, const QString &text)
{
    QMessageBox box(icon(kind), QApplication::applicationDisplayName(), forTerminal(text), QMessageBox::NoButton,
                    m_parent);
    const QList<Choice> set = choices(buttons);
    for (const Choice &c : set) {
        QAbstractButton *button = box.addButton(c.qt);
        // The questions name this button "All" / "Alles"; it must read so.
        if (c.button == Button::All)
            button->setText(QString::fromUtf8(tr2(qtTextsLanguage(), "&All", "&Alles")));
    }
    box.setDefaultButton(set.first().qt);
    const auto pressed = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Choice &c : set)
        if (c.qt == pressed)
            return c.button;
    // Closed with Escape: the set's cancelling answer.
    return set.size() > 1 ? set.at(1).button : set.first().button;
}

} // namespace kaz
