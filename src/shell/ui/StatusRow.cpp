#include "StatusRow.h"

#include "MainWindow.h"

#include "tags/TagIO.h"
#include "widgets/RunFrame.h"
#include "widgets/StatusLine.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPalette>

namespace kaz {
namespace {

const QString kThirteenBlanks = QString(13, QLatin1Char(' '));

} // namespace

StatusRow::StatusRow(MainWindow &window)
    : QObject(&window)
    , m_window(window)
{
    m_orderLine = new QLabel(&window);
    m_orderLine->setObjectName(QStringLiteral("StatusBar1"));
    m_orderLine->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_orderLine->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    m_statusLine = new StatusLine(QStringLiteral("StatusBar2"), &window);
    connect(m_statusLine, &StatusLine::resetRequested, this, [this] {
        if (m_window.files().selectedNames().size() == 1)
            reset();
    });
    m_layout = new QHBoxLayout;
    m_layout->setSpacing(2);
    m_layout->addWidget(m_orderLine, 2);
    m_layout->addWidget(m_statusLine, 3);
}

void StatusRow::registerLocks(RunFrame &frame)
{
    frame.addLocked(m_orderLine);
    frame.addLocked(m_statusLine);
}

void StatusRow::setStatusText(const QString &text)
{
    m_statusLine->setText(text);
}

void StatusRow::setOrderText(const QString &text)
{
    m_orderLine->setText(text);
}

QString StatusRow::orderText() const
{
    return m_orderLine->text();
}

void StatusRow::setHighlighted(bool highlighted)
{
    m_statusLine->setAutoFillBackground(highlighted);
    QPalette p = m_statusLine->palette();
    if (highlighted) {
        p.setColor(QPalette::Window, Qt::yellow);
        p.setColor(QPalette::WindowText, Qt::black);
    } else {
        p = m_window.palette();
    }
    m_statusLine->setPalette(p);
}

void StatusRow::setNamePreview(std::function<QString(const QString &)> preview)
{
    m_namePreview = std::move(preview);
}

void StatusRow::showCount()
{
    const BrowserState &state = m_window.browserState();
    setStatusText(state.count() == 0 ? QString()
                                     : QStringLiteral("%1/%2").arg(state.selectedCount()).arg(state.count()));
}

QString StatusRow::namePreviewText() const
{
    const QStringList selected = m_window.files().selectedNames();
    if (selected.isEmpty())
        return kThirteenBlanks;
    const QString path = QDir(m_window.files().currentFolder()).filePath(selected.first());
    if (!hasTagOrId3v2(path, m_window.useId3v2()))
        return QStringLiteral("NoTag!");
    return (m_namePreview ? m_namePreview(path) : QString()) + kThirteenBlanks;
}

void StatusRow::reset()
{
    const QString text = namePreviewText();
    if (text == kThirteenBlanks)
        showCount();
    else
        setStatusText(text);
}

void StatusRow::selectionChanged()
{
    const bool single = m_window.browserState().selectedCount() == 1;
    m_statusLine->setScrollable(single);
    if (single)
        reset();
    else
        showCount();
}

void StatusRow::showCountOfAll()
{
    m_statusLine->setScrollable(false);
    showCount();
}

} // namespace kaz
