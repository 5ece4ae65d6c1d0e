#include "CleanupOptionsBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QSpinBox>

namespace kaz {
namespace {

QCheckBox *checkBox(const char *name, QWidget *parent)
{
    auto *box = new QCheckBox(parent);
    box->setObjectName(QLatin1String(name));
    return box;
}

QSpinBox *spinEdit(const char *name, int maximum, QWidget *parent)
{
    auto *spin = new QSpinBox(parent);
    spin->setObjectName(QLatin1String(name));
    spin->setRange(1, maximum);
    return spin;
}

} // namespace

CleanupOptionsBox::CleanupOptionsBox(QWidget *parent)
    : QGroupBox(parent)
{
    setObjectName(QStringLiteral("GroupBox4"));
    m_capitalize = checkBox("clean1", this);
    m_fromPosition = checkBox("clean2", this);
    m_afterWords = checkBox("clean3", this);
    m_beforeWords = checkBox("clean4", this);
    m_position = spinEdit("SpinEdit1", 999, this);
    m_afterCount = spinEdit("SpinEdit2", 99, this);
    m_beforeCount = spinEdit("SpinEdit3", 99, this);
    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(6, 2, 6, 4);
    layout->setVerticalSpacing(1);
    layout->addWidget(m_capitalize, 0, 0, 1, 2);
    layout->addWidget(m_fromPosition, 1, 0);
    layout->addWidget(m_position, 1, 1);
    layout->addWidget(m_afterWords, 2, 0);
    layout->addWidget(m_afterCount, 2, 1);
    layout->addWidget(m_beforeWords, 3, 0);
    layout->addWidget(m_beforeCount, 3, 1);
    layout->setRowStretch(4, 1);
    for (QCheckBox *box : {m_capitalize, m_fromPosition, m_afterWords, m_beforeWords})
        connect(box, &QCheckBox::clicked, this, &CleanupOptionsBox::changed);
    for (QSpinBox *spin : {m_position, m_afterCount, m_beforeCount})
        connect(spin, &QSpinBox::valueChanged, this, &CleanupOptionsBox::changed);
}

CleanupOptions CleanupOptionsBox::options() const
{
    CleanupOptions o;
    o.capitalizeFirst = m_capitalize->isChecked();
    o.fromPosition = m_fromPosition->isChecked();
    o.fromPositionNumber = m_position->value();
    o.afterFirstWords = m_afterWords->isChecked();
    o.afterFirstWordsNumber = m_afterCount->value();
    o.beforeLastWords = m_beforeWords->isChecked();
    o.beforeLastWordsNumber = m_beforeCount->value();
    return o;
}

void CleanupOptionsBox::setOptions(const CleanupOptions &o)
{
    const QSignalBlocker b1(m_position), b2(m_afterCount), b3(m_beforeCount);
    m_capitalize->setChecked(o.capitalizeFirst);
    m_fromPosition->setChecked(o.fromPosition);
    m_position->setValue(o.fromPositionNumber);
    m_afterWords->setChecked(o.afterFirstWords);
    m_afterCount->setValue(o.afterFirstWordsNumber);
    m_beforeWords->setChecked(o.beforeLastWords);
    m_beforeCount->setValue(o.beforeLastWordsNumber);
}

void CleanupOptionsBox::applyLanguage(Language l)
{
    const auto text = [l](const char *english, const char *german) { return QString::fromUtf8(tr2(l, english, german)); };
    setTitle(text("replacement options", "Tausch-Einstellungen"));
    m_capitalize->setText(text("capitalize first character", "erstes Zeichen groß"));
    m_fromPosition->setText(text("from position", "ab Position"));
    m_afterWords->setText(text("after first 'x' words", "ab 'x' erste Wörter"));
    m_beforeWords->setText(text("before last 'x' words", "bis 'x' letzte Wörter"));
}

QList<QWidget *> CleanupOptionsBox::controls() const
{
    return {m_capitalize, m_fromPosition, m_afterWords, m_beforeWords, m_position, m_afterCount, m_beforeCount};
}

} // namespace kaz
