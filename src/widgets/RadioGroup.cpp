#include "RadioGroup.h"

#include <QRadioButton>
#include <QVBoxLayout>

namespace kaz {

RadioGroup::RadioGroup(const QString &objectName, QWidget *parent)
    : QGroupBox(parent)
{
    setObjectName(objectName);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 2, 6, 2);
    layout->setSpacing(0);
    connect(&m_group, &QButtonGroup::idClicked, this, &RadioGroup::clicked);
}

void RadioGroup::setItems(const QStringList &items)
{
    const int index = itemIndex();
    while (m_buttons.size() > items.size()) {
        QAbstractButton *b = m_buttons.takeLast();
        m_group.removeButton(b);
        delete b;
    }
    while (m_buttons.size() < items.size()) {
        auto *b = new QRadioButton(this);
        b->setObjectName(objectName() + QLatin1Char('_') + QString::number(m_buttons.size()));
        m_group.addButton(b, int(m_buttons.size()));
        layout()->addWidget(b);
        m_buttons.append(b);
    }
    for (qsizetype i = 0; i < items.size(); ++i)
        m_buttons[i]->setText(items.at(i));
    setItemIndex(index);
}

QStringList RadioGroup::items() const
{
    QStringList texts;
    for (const QAbstractButton *b : m_buttons)
        texts << b->text();
    return texts;
}

int RadioGroup::itemIndex() const
{
    return m_group.checkedId();
}

void RadioGroup::setItemIndex(int index)
{
    if (index >= 0 && index < m_buttons.size()) {
        m_buttons[index]->setChecked(true);
        return;
    }
    // An exclusive group keeps one button checked; lift that for a moment.
    m_group.setExclusive(false);
    for (QAbstractButton *b : m_buttons)
        b->setChecked(false);
    m_group.setExclusive(true);
}

QAbstractButton *RadioGroup::button(int index) const
{
    return index >= 0 && index < m_buttons.size() ? m_buttons.at(index) : nullptr;
}

} // namespace kaz
