#include "AboutDialog.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace kaz {

AboutDialog::AboutDialog(QWidget *parent)
    : QDialog(parent)
    , m_name(new QLabel(QStringLiteral("KAZ  (Quillbay)"), this))
    , m_version(new QLabel(this))
    , m_text(new QLabel(this))
    , m_ok(new QPushButton(QStringLiteral("OK"), this))
{
    setObjectName(QStringLiteral("TAboutBox"));
    m_name->setObjectName(QStringLiteral("ProductName"));
    m_version->setObjectName(QStringLiteral("Version"));
    m_text->setObjectName(QStringLiteral("Comments"));
    m_ok->setObjectName(QStringLiteral("OKButton"));
    QFont f = m_name->font();
    f.setPointSizeF(f.pointSizeF() * 1.8);
    f.setBold(true);
    m_name->setFont(f);
    m_version->setText(QStringLiteral("V3.2  (%1)").arg(QStringLiteral(KAZ_VERSION)));
    m_text->setWordWrap(true);
    connect(m_ok, &QPushButton::clicked, this, &QDialog::accept);

    auto *icon = new QLabel(this);
    icon->setPixmap(QApplication::windowIcon().pixmap(64, 64));
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(icon);
    auto *texts = new QVBoxLayout;
    texts->addWidget(m_name);
    texts->addWidget(m_version);
    top->addLayout(texts, 1);
    layout->addLayout(top);
    layout->addWidget(m_text);
    auto *row = new QHBoxLayout;
    row->addStretch(1);
    row->addWidget(m_ok);
    layout->addLayout(row);
    setMinimumWidth(380);
}

void AboutDialog::applyLanguage(Language language)
{
    setWindowTitle(QString::fromUtf8(tr2(language, "About", "Über")));
    m_text->setText(QString::fromUtf8(
        tr2(language,
            "Brings order into MP3 collections: renames files from their ID3 tags, cleans up file names, "
            "writes tags from file and folder names and sorts files into artist and album folders.",
            "Bringt Ordnung in MP3-Sammlungen: benennt Dateien nach ihren ID3-Tags um, bereinigt Dateinamen, "
            "schreibt Tags aus Datei- und Verzeichnisnamen und sortiert Dateien in Interpreten- und "
            "Albenverzeichnisse.")));
}

} // namespace kaz
