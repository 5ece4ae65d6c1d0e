#include "FolderSelectDialog.h"

#include "FolderPicker.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

namespace kaz {

FolderSelectDialog::FolderSelectDialog(Language language, QWidget *parent)
    : QDialog(parent)
    , m_browser(new FolderPicker(this))
{
    setObjectName(QStringLiteral("Tselect_dir"));
    setWindowTitle(QString::fromUtf8(tr2(language, "select directory", "Verzeichniswahl")));
    auto *ok = new QPushButton(QStringLiteral("&OK"), this);
    auto *cancel = new QPushButton(QString::fromUtf8(tr2(language, "Cancel", "Abbruch")), this);
    ok->setObjectName(QStringLiteral("OKBtn"));
    cancel->setObjectName(QStringLiteral("CancelBtn"));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_browser, 1);
    layout->addLayout(buttons);
    resize(320, 340);
}

void FolderSelectDialog::setFolder(const QString &folder)
{
    m_browser->setFolder(folder);
}

QString FolderSelectDialog::folder() const
{
    return m_browser->folder();
}

} // namespace kaz
