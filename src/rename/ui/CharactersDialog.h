#pragma once

#include "platform/Language.h"

#include <QDialog>
#include <QList>

class QGroupBox;
class QLineEdit;
class QPushButton;

namespace kaz {

class Prompter;

// "Character": the nine characters that stand in for \ / : * " ? < > | in
// composed names, and the delimiter between the parts of a name.
class CharactersDialog : public QDialog
{
    Q_OBJECT
public:
    explicit CharactersDialog(Prompter &prompter, QWidget *parent = nullptr);

    void applyLanguage(Language language);
    // Nine characters in the order above.
    void setValues(const QString &replacements, const QString &delimiter);
    QString replacements() const;
    QString delimiter() const;

    // OK: refuses an unusable delimiter or stand-in with a message and keeps
    // the dialog open.
    void accept() override;

private:
    Prompter &m_prompter;
    Language m_language = kDefaultLanguage;
    QGroupBox *m_characterBox;
    QGroupBox *m_delimiterBox;
    QList<QLineEdit *> m_fields;
    QLineEdit *m_delimiter;
    QPushButton *m_ok;
};

} // namespace kaz
