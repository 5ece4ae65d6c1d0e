#include "CleanupSaveDeleteDialog.h"

#include "cleanup/CleanupTexts.h"
#include "cleanup/SavedRules.h"

#include "platform/Prompter.h"
#include "widgets/RadioGroup.h"

#include <QCursor>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>

#include <cerrno>
#include <cstring>

namespace kaz {
namespace {

// The system's input/output error, with the file it concerns.
QString writeError()
{
    return savedRulesPath() + QStringLiteral(":\n\r") + QString::fromLocal8Bit(std::strerror(EIO));
}

} // namespace

CleanupSaveDeleteDialog::CleanupSaveDeleteDialog(const QString &script, Prompter &prompter, QWidget *parent)
    : QDialog(parent, Qt::Tool)
    , m_script(script)
    , m_prompter(prompter)
    , m_what(new RadioGroup(QStringLiteral("RadioGroup1"), this))
    , m_nameLabel(new QLabel(this))
    , m_name(new QLineEdit(this))
    , m_cancel(new QPushButton(this))
    , m_delete(new QPushButton(this))
    , m_save(new QPushButton(this))
    , m_deleteMenu(new QMenu(this))
{
    setObjectName(QStringLiteral("Tcleanup_savedel"));
    m_nameLabel->setObjectName(QStringLiteral("StaticText1"));
    m_name->setObjectName(QStringLiteral("Edit1"));
    m_cancel->setObjectName(QStringLiteral("BitBtn1"));
    m_delete->setObjectName(QStringLiteral("BitBtn2"));
    m_save->setObjectName(QStringLiteral("BitBtn3"));
    m_deleteMenu->setObjectName(QStringLiteral("PopupMenu1"));
    m_nameLabel->setBuddy(m_name);
    m_save->setDefault(true);

    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_save, &QPushButton::clicked, this, &CleanupSaveDeleteDialog::save);
    connect(m_delete, &QPushButton::clicked, this, [this] {
        fillDeleteMenu();
        m_deleteMenu->popup(QCursor::pos() + QPoint(-5, 5));
    });

    auto *layout = new QGridLayout(this);
    layout->addWidget(m_what, 0, 0, 1, 3);
    layout->addWidget(m_nameLabel, 1, 0, 1, 3);
    layout->addWidget(m_name, 2, 0, 1, 3);
    layout->addWidget(m_cancel, 3, 0);
    layout->addWidget(m_delete, 3, 1);
    layout->addWidget(m_save, 3, 2);
    applyLanguage(m_language);
    m_what->setItemIndex(0);
    updateButtons();
}

void CleanupSaveDeleteDialog::applyLanguage(Language l)
{
    m_language = l;
    const int what = m_what->itemIndex();
    m_what->setTitle(text(l, "save", "Speichere"));
    m_what->setItems({text(l, "complete script", "komplettes Script"), text(l, "last expression", "letzten Ausdruck")});
    m_what->setItemIndex(what < 0 ? 0 : what);
    m_nameLabel->setText(text(l, "optional name", "Optionaler Name"));
    m_cancel->setText(text(l, "&Cancel", "&Abbruch"));
    m_delete->setText(text(l, "&delete", "&Löschen"));
    m_save->setText(text(l, "&save", "&Speichern"));
}

void CleanupSaveDeleteDialog::updateButtons()
{
    m_delete->setEnabled(!savedRuleMenu(loadSavedRules()).isEmpty());
    m_save->setEnabled(!m_script.isEmpty());
}

void CleanupSaveDeleteDialog::fillDeleteMenu()
{
    m_deleteMenu->clear();
    for (const SavedRuleItem &item : savedRuleMenu(loadSavedRules())) {
        QAction *action = m_deleteMenu->addAction(item.caption);
        const int record = item.record;
        connect(action, &QAction::triggered, this, [this, record] { deleteRecord(record); });
    }
}

void CleanupSaveDeleteDialog::deleteRecord(int record)
{
    if (m_prompter.ask(MessageKind::Warning, ButtonSet::YesNo, cleanupText(CleanupText::ReallyDelete, m_language))
        != Button::Yes)
        return;
    QString problem;
    if (!deleteRule(record, &problem))
        m_prompter.inform(MessageKind::Error, problem.isEmpty() ? writeError() : problem);
    Q_EMIT rulesChanged();
    updateButtons();
}

void CleanupSaveDeleteDialog::save()
{
    if (m_script.isEmpty())
        return;
    QString problem;
    if (saveRule(m_script, m_what->itemIndex() == 1, m_name->text(), &problem) == SaveRuleResult::WriteFailed)
        m_prompter.inform(MessageKind::Error, problem.isEmpty() ? writeError() : problem);
    Q_EMIT rulesChanged();
    accept();
}

} // namespace kaz
