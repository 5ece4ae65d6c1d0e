#pragma once

#include "platform/Language.h"

#include <QMenu>

namespace kaz {

// The pop-up of the saved cleanup scripts: one item per saved record, then
// "save/delete" and "cancel". The items are read from the file each time
// the menu is about to pop up.
class SavedRulesMenu : public QMenu
{
    Q_OBJECT
public:
    explicit SavedRulesMenu(QWidget *parent);

    void rebuild();
    void applyLanguage(Language language);

Q_SIGNALS:
    void scriptChosen(const QString &script);
    void saveDeleteRequested();

private:
    QAction *m_separator = nullptr; // between the records and "save/delete"
};

} // namespace kaz
