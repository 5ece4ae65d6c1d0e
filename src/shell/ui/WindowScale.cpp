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
    QFont f = m_window.font();
    f.setPointSizeF(f.pointSizeF() * 1.25);
    m_window.setFont(f);
    m_scale *= 1.25;
    applyFont();
    m_window.resize(m_window.width() * 125 / 100, m_window.height() * 125 / 100);
}

void WindowScale::standardSize()
{
    m_window.showNormal();
    m_window.resize(601, 471);
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
