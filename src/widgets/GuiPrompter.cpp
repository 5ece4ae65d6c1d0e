#include "GuiPrompter.h"

#include "QtTranslations.h"
#include "ReportDialog.h"

#include "platform/Messages.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

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
    QList<QAbstractButton *> shown;
    for (const Choice &c : set) {
        // The questions name this button "All" / "Alles": it reads so, not
        // as Qt's "Yes to All".
        if (c.button == Button::All)
            shown << box.addButton(QString::fromUtf8(tr2(qtTextsLanguage(), "&All", "&Alles")), QMessageBox::YesRole);
        else
            shown << box.addButton(c.qt);
    }
    box.setDefaultButton(qobject_cast<QPushButton *>(shown.first()));
    box.exec();
    const qsizetype pressed = shown.indexOf(box.clickedButton());
    if (pressed >= 0)
        return set.at(pressed).button;
    // Closed with Escape: the set's cancelling answer.
    return set.size() > 1 ? set.at(1).button : set.first().button;
}

} // namespace kaz
