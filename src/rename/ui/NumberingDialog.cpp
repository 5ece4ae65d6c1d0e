#include "NumberingDialog.h"

#include "widgets/RadioGroup.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kaz {
NumberingDialog::NumberingDialog(QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , m_label1(new QLabel(this))
    , m_fixed(new RadioGroup(QStringLiteral("RadioGroup1"), this))
    , m_relative(new RadioGroup(QStringLiteral("RadioGroup2"), this))
    , m_brackets(new QComboBox(this))
    , m_label2(new QLabel(this))
    , m_save(new QPushButton(this))
    , m_cancel(new QPushButton(this))
    , m_help(new QPushButton(this))
{
    setObjectName(QStringLiteral("TForm4"));
    m_label1->setObjectName(QStringLiteral("Label1"));
    QFont bold = m_label1->font();
    bold.setBold(true);
    m_label1->setFont(bold);
    m_brackets->setObjectName(QStringLiteral("ComboBox1"));
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setWordWrap(true);
    m_save->setObjectName(QStringLiteral("Button1"));
    m_cancel->setObjectName(QStringLiteral("Button2"));
    m_help->setObjectName(QStringLiteral("Button3"));
    m_help->setEnabled(false);
    m_save->setDefault(true);

    connect(m_fixed, &RadioGroup::clicked, this, [this] { groupClicked(m_fixed, m_relative); });
    connect(m_relative, &RadioGroup::clicked, this, [this] { groupClicked(m_relative, m_fixed); });
    connect(m_brackets, &QComboBox::activated, this, [this] {
        if (m_changed)
            m_changed(numbering());
    });
    connect(m_save, &QPushButton::clicked, this, &QDialog::accept);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *groups = new QHBoxLayout;
    groups->addWidget(m_fixed, 1);
    groups->addWidget(m_relative, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_brackets);
    buttons->addStretch(1);
    buttons->addWidget(m_save);
    buttons->addWidget(m_cancel);
    buttons->addWidget(m_help);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label1);
    layout->addLayout(groups);
    layout->addWidget(m_label2);
    layout->addLayout(buttons);
    applyLanguage(kDefaultLanguage);
}

void NumberingDialog::applyLanguage(Language l)
{
    setWindowTitle(text(l, "Tracknumber setting      (if number is available in ID3Tag)",
                        "Liednummer Einstellung     (wenn Nummer im ID3Tag vorhanden)"));
    m_label1->setText(text(l, "Select the position in the new filename for the kept numbers",
                           "Wähle Position der behaltenen Nummer im neuen Dateinamen"));
    m_fixed->setTitle(text(l, "fixed position in filename *", "feste Position im Dateinamen *"));
    m_fixed->setItems({text(l, "at beginning of filename", "am Anfang des Dateinamen"),
                       text(l, "after first choice", "nach erster Auswahl"),
                       text(l, "after second choice", "nach zweiter Auswahl"),
                       text(l, "after third choice", "nach dritter Auswahl"),
                       text(l, "at end of filename", "am Ende des Dateinamen")});
    m_relative->setTitle(text(l, "relative position in filename *", "relative Position im Dateinamen *"));
    m_relative->setItems({text(l, "before artist", "vor dem Interpreten"), text(l, "before album", "vor dem Album"),
                          text(l, "before title", "vor dem Titel"), text(l, "before comment", "vor dem Kommentar")});
    const int bracket = m_brackets->currentIndex();
    m_brackets->clear();
    m_brackets->addItems({text(l, "no brackets around nubers", "keine Klammern um Nummern"), QStringLiteral(" [   ]"),
                          QStringLiteral(" {   }"), QStringLiteral(" (   )")});
    m_brackets->setCurrentIndex(qMax(0, bracket));
    m_label2->setText(text(l, "*at the beginning, if selection is not available or number not found in ID3Tag",
                           "* am Anfang, wenn Auswahl nicht möglich ist oder Nummer im Tag nicht gefunden"));
    m_save->setText(text(l, "&Save", "&Speichern"));
    m_cancel->setText(text(l, "&Cancel", "&Abbruch"));
    m_help->setText(text(l, "&Help", "&Hilfe"));
}

void NumberingDialog::setNumbering(const NumberingSettings &numbering)
{
    m_stored = numbering.normalized();
    m_brackets->setCurrentIndex(m_stored.brackets);
    m_fixed->setItemIndex(m_stored.fixedPosition);
    m_relative->setItemIndex(m_stored.fixedPosition == -1 ? m_stored.relativePosition : -1);
}

NumberingSettings NumberingDialog::numbering() const
{
    NumberingSettings n;
    n.fixedPosition = m_fixed->itemIndex();
    n.relativePosition = m_relative->itemIndex();
    n.brackets = qMax(0, m_brackets->currentIndex());
    return n;
}

void NumberingDialog::groupClicked(RadioGroup *, RadioGroup *other)
{
    other->setItemIndex(-1);
    if (m_changed)
        m_changed(numbering());
}

} // namespace kaz
