#include "ReportDialog.h"

#include "platform/Messages.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QStyle>
#include <QVBoxLayout>

namespace kaz {
namespace {

QStyle::StandardPixmap iconOf(MessageKind kind)
{
    switch (kind) {
    case MessageKind::Warning:
        return QStyle::SP_MessageBoxWarning;
    case MessageKind::Error:
        return QStyle::SP_MessageBoxCritical;
    case MessageKind::Confirmation:
        return QStyle::SP_MessageBoxQuestion;
    case MessageKind::Information:
        break;
    }
    return QStyle::SP_MessageBoxInformation;
}

} // namespace

ReportDialog::ReportDialog(MessageKind kind, const QString &summary, const QStringList &lines, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("ReportDialog"));
    setWindowTitle(QApplication::applicationDisplayName());
    setSizeGripEnabled(true);

    auto *icon = new QLabel(this);
    const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(iconOf(kind), nullptr, this).pixmap(size, size));
    auto *text = new QLabel(forTerminal(summary), this);
    text->setObjectName(QStringLiteral("ReportSummary"));
    text->setWordWrap(true);
    auto *list = new QPlainTextEdit(this);
    list->setObjectName(QStringLiteral("ReportList"));
    list->setReadOnly(true);
    list->setLineWrapMode(QPlainTextEdit::NoWrap);
    list->setPlainText(forTerminal(lines.join(QLatin1Char('\n'))));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto *top = new QHBoxLayout;
    top->addWidget(icon, 0, Qt::AlignTop);
    top->addWidget(text, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(list, 1);
    layout->addWidget(buttons);
    resize(560, 320);
}

} // namespace kaz
