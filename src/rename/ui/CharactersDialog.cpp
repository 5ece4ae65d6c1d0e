#include "CharactersDialog.h"

#include "rename/RenameSettings.h"
#include "rename/RenameTexts.h"

#include "platform/Prompter.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace kaz {

CharactersDialog::CharactersDialog(Prompter &prompter, QWidget *parent)
    : QDialog(parent)
    , m_prompter(prompter)
    , m_characterBox(new QGroupBox(this))
    , m_delimiterBox(new QGroupBox(this))
    , m_delimiter(new QLineEdit(this))
    , m_ok(new QPushButton(QStringLiteral("&OK"), this))
{
    setObjectName(QStringLiteral("TAboutBox1"));
    m_characterBox->setObjectName(QStringLiteral("GroupBox1"));
    m_delimiterBox->setObjectName(QStringLiteral("GroupBox2"));
    m_delimiter->setObjectName(QStringLiteral("Edit10"));
    m_delimiter->setMaxLength(3);
    m_delimiter->setMaximumWidth(60);
    m_ok->setObjectName(QStringLiteral("OKButton"));
    m_ok->setDefault(true);
    connect(m_ok, &QPushButton::clicked, this, &CharactersDialog::accept);

    auto *grid = new QGridLayout(m_characterBox);
    for (int i = 0; i < 9; ++i) {
        auto *label = new QLabel(QString(QChar(kForbiddenCharacters[i])), m_characterBox);
        label->setAlignment(Qt::AlignCenter);
        QFont f = label->font();
        f.setBold(true);
        label->setFont(f);
        auto *edit = new QLineEdit(m_characterBox);
        edit->setObjectName(QStringLiteral("Edit%1").arg(i + 1));
        edit->setMaxLength(1);
        edit->setMaximumWidth(32);
        edit->setAlignment(Qt::AlignCenter);
        grid->addWidget(label, 0, i);
        grid->addWidget(edit, 1, i);
        m_fields << edit;
    }
    auto *delimiterLayout = new QHBoxLayout(m_delimiterBox);
    delimiterLayout->addWidget(m_delimiter);
    delimiterLayout->addStretch(1);

    auto *row = new QHBoxLayout;
    row->addWidget(m_delimiterBox, 1);
    row->addWidget(m_ok, 0, Qt::AlignBottom);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_characterBox);
    layout->addLayout(row);
    setValues(RenameSettings().replacements, RenameSettings().delimiter);
    applyLanguage(kDefaultLanguage);
}

void CharactersDialog::applyLanguage(Language language)
{
    m_language = language;
    setWindowTitle(QString::fromUtf8(tr2(language, "Character", "Zeichen")));
    m_characterBox->setTitle(QString::fromUtf8(tr2(language, "Character", "Zeichen")));
    m_delimiterBox->setTitle(QString::fromUtf8(tr2(language, "Delimiter", "Trennzeichen")));
    m_delimiter->setToolTip(
        QString::fromUtf8(tr2(language, "you can use several character", "mehrere Zeichen sind möglich")));
}

void CharactersDialog::setValues(const QString &replacements, const QString &delimiter)
{
    for (int i = 0; i < 9; ++i)
        m_fields[i]->setText(i < replacements.size() ? replacements.mid(i, 1) : QString());
    m_delimiter->setText(delimiter);
}

QString CharactersDialog::replacements() const
{
    QString chars;
    // An empty field stands for a blank, which the trimming of names removes at the ends.
    for (const QLineEdit *e : m_fields)
        chars += e->text().isEmpty() ? QStringLiteral(" ") : e->text().left(1);
    return chars;
}

QString CharactersDialog::delimiter() const
{
    return m_delimiter->text();
}

void CharactersDialog::accept()
{
    if (!delimiterIsAllowed(delimiter())) {
        m_prompter.inform(MessageKind::Warning, renameText(RenameText::DelimiterNotAllowed, m_language));
        m_delimiter->setFocus();
        return;
    }
    // A stand-in "/" would put a name into another folder.
    if (!replacementsAreUsable(replacements())) {
        m_prompter.inform(MessageKind::Warning,
                          QString::fromUtf8(tr2(m_language, "\"/\" cannot stand in for a character of a filename.",
                                                "\"/\" kann kein Zeichen eines Dateinamens ersetzen.")));
        return;
    }
    QDialog::accept();
}

} // namespace kaz
