#include "UpDown.h"

#include <QToolButton>
#include <QVBoxLayout>

namespace kaz {

UpDown::UpDown(const QString &objectName, QWidget *parent)
    : QWidget(parent)
    , m_up(new QToolButton(this))
    , m_down(new QToolButton(this))
{
    setObjectName(objectName);
    m_up->setObjectName(objectName + QStringLiteral("Up"));
    m_down->setObjectName(objectName + QStringLiteral("Down"));
    m_up->setArrowType(Qt::UpArrow);
    m_down->setArrowType(Qt::DownArrow);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    for (QToolButton *b : {m_up, m_down}) {
        b->setAutoRaise(true);
        b->setFixedSize(16, 10);
        layout->addWidget(b);
    }
    connect(m_up, &QToolButton::clicked, this, &UpDown::up);
    connect(m_down, &QToolButton::clicked, this, &UpDown::down);
}

} // namespace kaz
