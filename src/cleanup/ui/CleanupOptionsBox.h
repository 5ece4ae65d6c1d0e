#pragma once

#include "cleanup/CleanupOptions.h"

#include "platform/Language.h"

#include <QGroupBox>

class QCheckBox;
class QSpinBox;

namespace kaz {

// "replacement options" of the cleanup page: capitalize the first
// character, and where in the name the script works (from a position, after
// the first words, before the last words).
class CleanupOptionsBox : public QGroupBox
{
    Q_OBJECT
public:
    explicit CleanupOptionsBox(QWidget *parent = nullptr);

    CleanupOptions options() const;
    // Shows the options without telling.
    void setOptions(const CleanupOptions &options);
    void applyLanguage(Language language);
    // The boxes and numbers, for enabling and locking.
    QList<QWidget *> controls() const;

Q_SIGNALS:
    // The user changed an option.
    void changed();

private:
    QCheckBox *m_capitalize = nullptr;
    QCheckBox *m_fromPosition = nullptr;
    QCheckBox *m_afterWords = nullptr;
    QCheckBox *m_beforeWords = nullptr;
    QSpinBox *m_position = nullptr;
    QSpinBox *m_afterCount = nullptr;
    QSpinBox *m_beforeCount = nullptr;
};

} // namespace kaz
