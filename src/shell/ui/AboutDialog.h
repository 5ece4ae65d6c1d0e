#pragma once

#include "platform/Language.h"

#include <QDialog>

class QLabel;
class QPushButton;

namespace kaz {

// The about box: the program's name and version.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);
    void applyLanguage(Language language);

private:
    QLabel *m_name;
    QLabel *m_version;
    QLabel *m_text;
    QPushButton *m_ok;
};

} // namespace kaz
