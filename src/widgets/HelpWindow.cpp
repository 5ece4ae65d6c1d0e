#include "HelpWindow.h"

#include "platform/HelpFiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kaz {

HelpWindow::HelpWindow(QWidget *parent)
    : QDialog(parent)
    , m_browser(new QTextBrowser(this))
    , m_close(new QPushButton(this))
{
    setObjectName(QStringLiteral("HelpWindow"));
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenExternalLinks(true);
    m_close->setObjectName(QStringLiteral("CloseButton"));
    connect(m_close, &QPushButton::clicked, this, &QDialog::close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_close);
    layout->addLayout(row);
    resize(640, 520);
}

void HelpWindow::applyLanguage(Language language)
{
    setWindowTitle(QString::fromUtf8(tr2(language, "KAZ help", "KAZ Hilfe")));
    m_close->setText(QString::fromUtf8(tr2(language, "&Close", "&Schließen")));
}

void HelpWindow::showContext(Language language, int context)
{
    applyLanguage(language);
    const QString page = helpPage(language);
    if (page.isEmpty()) {
        m_browser->setPlainText(
            QString::fromUtf8(tr2(language, "The help pages are not installed.", "Die Hilfeseiten sind nicht installiert.")));
        return;
    }
    QUrl url = QUrl::fromLocalFile(page);
    url.setFragment(helpAnchor(context));
    m_browser->setSource(url);
}

void addHelpKey(QWidget *dialog, std::function<void()> help)
{
    if (!help)
        return;
    auto *key = new QAction(dialog);
    key->setObjectName(QStringLiteral("HelpKey"));
    key->setShortcut(QKeySequence(Qt::Key_F1));
    key->setShortcutContext(Qt::WindowShortcut);
    dialog->addAction(key);
    QObject::connect(key, &QAction::triggered, dialog, std::move(help));
}

void addHelpButtonAndKey(QWidget *dialog, QAbstractButton *button, const std::function<void()> &help)
{
    QObject::connect(button, &QAbstractButton::clicked, dialog, help);
    addHelpKey(dialog, help);
}

QUrl HelpWindow::currentUrl() const
{
    return m_browser->source();
}

} // namespace kaz
