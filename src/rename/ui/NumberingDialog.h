#pragma once

#include "rename/RenameSettings.h"

#include "platform/Language.h"

#include <QDialog>

#include <functional>

class QComboBox;
class QLabel;
class QPushButton;

namespace kaz {

class RadioGroup;

// The numbering dialog: where a kept track number goes in a composed name
// and whether it is bracketed. Every change is shown at once through the
// changed callback; Save keeps it, Cancel goes back to what was stored.
class NumberingDialog : public QDialog
{
    Q_OBJECT
public:
    explicit NumberingDialog(QWidget *parent = nullptr);

    void applyLanguage(Language language);
    void setNumbering(const NumberingSettings &numbering);
    // The choices as they stand in the dialog.
    NumberingSettings numbering() const;
    void setChangedCallback(std::function<void(const NumberingSettings &)> changed)
    {
        m_changed = std::move(changed);
    }

private:
    void groupClicked(RadioGroup *clicked, RadioGroup *other);

    NumberingSettings m_stored;
    std::function<void(const NumberingSettings &)> m_changed;
    QLabel *m_label1;
    RadioGroup *m_fixed;
    RadioGroup *m_relative;
    QComboBox *m_brackets;
    QLabel *m_label2;
    QPushButton *m_save;
    QPushButton *m_cancel;
    QPushButton *m_help;
};

} // namespace kaz
