#pragma once

#include "platform/Prompter.h"

#include <QDialog>
#include <QStringList>

namespace kaz {

// A message with a list that may be long: the sentence above, the list in
// a scrolling box below, and OK.
class ReportDialog : public QDialog
{
    Q_OBJECT
public:
    ReportDialog(MessageKind kind, const QString &summary, const QStringList &lines, QWidget *parent = nullptr);
};

} // namespace kaz
