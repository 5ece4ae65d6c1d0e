#pragma once

#include <QButtonGroup>
#include <QGroupBox>
#include <QStringList>

namespace kaz {

// A titled group of radio buttons with an item index, -1 for none.
// clicked() is emitted for a user's click only, not for setItemIndex().
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    explicit RadioGroup(const QString &objectName, QWidget *parent = nullptr);

    void setItems(const QStringList &items);
    QStringList items() const;
    int itemIndex() const;
    void setItemIndex(int index);
    int count() const { return int(m_buttons.size()); }
    // The radio button of an item, for tests and hints.
    QAbstractButton *button(int index) const;

Q_SIGNALS:
    void clicked(int index);

private:
    QButtonGroup m_group;
    QList<QAbstractButton *> m_buttons;
};

} // namespace kaz
