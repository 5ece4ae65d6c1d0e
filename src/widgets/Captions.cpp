#include "Captions.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>

namespace kaz {

void setCaption(QObject *object, const QString &text)
{
    if (auto *a = qobject_cast<QAction *>(object))
        a->setText(text);
    else if (auto *m = qobject_cast<QMenu *>(object))
        m->setTitle(text);
    else if (auto *b = qobject_cast<QAbstractButton *>(object))
        b->setText(text);
    else if (auto *g = qobject_cast<QGroupBox *>(object))
        g->setTitle(text);
    else if (auto *l = qobject_cast<QLabel *>(object))
        l->setText(text);
}

void applyCaptions(QObject &root, Language language, std::span<const Caption> captions)
{
    for (const Caption &c : captions)
        if (QObject *o = root.findChild<QObject *>(QLatin1String(c.name)))
            setCaption(o, QString::fromUtf8(tr2(language, c.english, c.german)));
}

void applyHints(QObject &root, Language language, std::span<const Caption> hints)
{
    for (const Caption &h : hints)
        if (auto *w = root.findChild<QWidget *>(QLatin1String(h.name)))
            w->setToolTip(QString::fromUtf8(tr2(language, h.english, h.german)));
}

} // namespace kaz
