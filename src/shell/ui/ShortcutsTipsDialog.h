#pragma once

#include "platform/Language.h"

#include <QDialog>

class QListWidget;
class QPushButton;
class QTabWidget;
class QTextBrowser;

namespace kaz {

// "Shortcuts & tips": the keyboard shortcuts on one tab, usage notes on the other.
class ShortcutsTipsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit ShortcutsTipsDialog(QWidget *parent = nullptr);
    void applyLanguage(Language language);

private:
    QTabWidget *m_tabs;
    QListWidget *m_shortcuts;
    QTextBrowser *m_tips;
    QPushButton *m_ok;
};

} // namespace kaz
