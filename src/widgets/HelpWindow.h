#pragma once

#include "platform/Language.h"

#include <QDialog>

#include <functional>

class QAbstractButton;
class QPushButton;
class QTextBrowser;

namespace kaz {

// The help viewer: the program's HTML help page of the current language,
// opened at the anchor of a context number.
class HelpWindow : public QDialog
{
    Q_OBJECT
public:
    explicit HelpWindow(QWidget *parent = nullptr);

    void showContext(Language language, int context);
    QUrl currentUrl() const;
    void applyLanguage(Language language);

private:
    QTextBrowser *m_browser;
    QPushButton *m_close;
};

// F1 in a dialog calls help (a modal dialog keeps the main window's F1 from
// working). Does nothing without help.
void addHelpKey(QWidget *dialog, std::function<void()> help);
// The dialog's help button and F1 both call help.
void addHelpButtonAndKey(QWidget *dialog, QAbstractButton *button, const std::function<void()> &help);

} // namespace kaz
