#include "WindowScale.h"

#include "browser/ui/FolderBrowser.h"
#include "widgets/RunFrame.h"

#include <QFontDatabase>
#include <QMainWindow>
#include <QScreen>
#include <QToolButton>

namespace kaz {

WindowScale::WindowScale(QMainWindow &window, FolderBrowser &browser, int fontSize)
    : QObject(&window)
    , m_window(window)
    , m_browser(browser)
    , m_fontSize(fontSize)
{
    m_up = browser.addTextButton("FontUpButton", QStringLiteral("A+"));
    connect(m_up, &QToolButton::clicked, this, [this] { setFontSize(m_fontSize + 2); });
    m_down = browser.addTextButton("FontDownButton", QStringLiteral("A-"));
    connect(m_down, &QToolButton::clicked, this, [this] { setFontSize(m_fontSize - 2); });
    applyFont();
}

bool WindowScale::canEnlarge(int screenHeight, int windowHeight)
{
    return qint64(screenHeight) * 100 > qint64(windowHeight) * 125 && screenHeight < 1250;
}

void WindowScale::enlarge()
{
    const int screenHeight = m_window.screen() ? m_window.screen()->geometry().height() : 768;
    if (!canEnlarge(screenHeight, m_window.height()))
        return;
    m_scale *= 1.25;
    applyScale();
    m_window.resize(m_window.width() * 125 / 100, m_window.height() * 125 / 100);
}

void WindowScale::standardSize()
{
    m_scale = 1.0;
    applyScale();
    m_window.showNormal();
    m_window.resize(601, 471);
}

void WindowScale::applyScale()
{
    // Windows of their own (dialogs, pop-ups) are left as they are.
    QList<QWidget *> widgets{&m_window};
    for (QWidget *widget : m_window.findChildren<QWidget *>()) {
        if (!widget->isWindow())
            widgets.append(widget);
    }
    // Each as it was before this scaling changed anything: a font set here
    // reaches the controls below at once.
    for (QWidget *widget : std::as_const(widgets)) {
        const auto known = m_originals.constFind(widget);
        if (known == m_originals.cend() || known->widget != widget)
            m_originals.insert(widget, Original{widget, widget->font(), widget->testAttribute(Qt::WA_SetFont), widget->minimumSize(),
                                                widget->maximumSize()});
    }
    for (QWidget *widget : std::as_const(widgets))
        scaleWidget(widget, m_originals.value(widget));
    applyFont();
}

void WindowScale::scaleWidget(QWidget *widget, const Original &original)
{
    const auto scaled = [this](int pixels) { return pixels >= QWIDGETSIZE_MAX ? pixels : int(pixels * m_scale + 0.5); };
    if (widget != &m_window) { // the window's own size follows the commands
        widget->setMinimumSize(scaled(original.minimum.width()), scaled(original.minimum.height()));
        widget->setMaximumSize(scaled(original.maximum.width()), scaled(original.maximum.height()));
    }
    // Each control gets its font set: not every control follows the window's
    // (style sheets, fonts of the platform's theme for some kinds).
    if (m_scale == 1.0) {
        widget->setFont(original.ownFont ? original.font : QFont());
        return;
    }
    QFont font = original.font;
    if (font.pixelSize() > 0)
        font.setPixelSize(int(font.pixelSize() * m_scale + 0.5));
    else
        font.setPointSizeF(font.pointSizeF() * m_scale);
    widget->setFont(font);
}

void WindowScale::setFontSize(int size)
{
    m_fontSize = size;
    applyFont();
}

void WindowScale::applyFont()
{
    QFont f = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    f.setPointSizeF(m_fontSize * m_scale);
    m_browser.setFileListFont(f);
    // The list's item height: the font and five points of spacing.
    const int itemHeight = m_fontSize + 5;
    m_up->setEnabled(itemHeight < 20);
    m_down->setEnabled(itemHeight >= 15);
}

void WindowScale::registerLocks(RunFrame &frame)
{
    frame.addLocked(m_up);
    frame.addLocked(m_down);
}

} // namespace kaz
