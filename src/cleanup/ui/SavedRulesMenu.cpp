#include "SavedRulesMenu.h"

#include "cleanup/SavedRules.h"

#include <QAction>

namespace kaz {

SavedRulesMenu::SavedRulesMenu(QWidget *parent)
    : QMenu(parent)
{
    setObjectName(QStringLiteral("PopupMenu5"));
    m_separator = addSeparator();
    m_separator->setVisible(false);
    QAction *saveDelete = addAction(QString());
    saveDelete->setObjectName(QStringLiteral("savedelete1"));
    connect(saveDelete, &QAction::triggered, this, &SavedRulesMenu::saveDeleteRequested);
    addSeparator()->setObjectName(QStringLiteral("N15"));
    addAction(QString())->setObjectName(QStringLiteral("cancel2"));
}

void SavedRulesMenu::rebuild()
{
    for (QAction *a : actions()) {
        if (a == m_separator)
            break;
        removeAction(a);
        a->deleteLater();
    }
    for (const SavedRuleItem &item : savedRuleMenu(loadSavedRules())) {
        auto *action = new QAction(item.caption, this);
        action->setData(item.record);
        const QString script = item.script;
        connect(action, &QAction::triggered, this, [this, script] { Q_EMIT scriptChosen(script); });
        insertAction(m_separator, action);
    }
    m_separator->setVisible(actions().first() != m_separator);
}

void SavedRulesMenu::applyLanguage(Language l)
{
    for (QAction *a : actions()) {
        if (a->objectName() == QLatin1String("savedelete1"))
            a->setText(text(l, "save/delete", "Speichern/Löschen"));
        else if (a->objectName() == QLatin1String("cancel2"))
            a->setText(text(l, "cancel", "Abbruch"));
    }
}

} // namespace kaz
