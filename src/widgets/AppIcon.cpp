#include "AppIcon.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace kaz {
namespace {

QPixmap drawIcon(int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 128.0, size / 128.0);
    QLinearGradient bg(0, 0, 0, 128);
    bg.setColorAt(0, QColor(0x2f, 0x6d, 0xb5));
    bg.setColorAt(1, QColor(0x17, 0x3d, 0x6e));
    p.setPen(Qt::NoPen);
    p.setBrush(bg);
    p.drawRoundedRect(QRectF(6, 6, 116, 116), 20, 20);
    const std::pair<int, double> bars[] = {{52, 0.9}, {40, 0.75}, {46, 0.6}};
    int y = 30;
    for (const auto &[width, opacity] : bars) {
        p.setOpacity(opacity);
        p.setBrush(Qt::white);
        p.drawRoundedRect(QRectF(22, y, width, 8), 3, 3);
        y += 18;
    }
    p.setOpacity(1);
    const QColor yellow(0xff, 0xd4, 0x3b);
    QPen stem(yellow, 7, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(stem);
    p.setBrush(Qt::NoBrush);
    QPainterPath path;
    path.moveTo(88, 28);
    path.lineTo(104, 24);
    path.lineTo(104, 76);
    p.drawPath(path);
    p.setPen(Qt::NoPen);
    p.setBrush(yellow);
    p.drawEllipse(QPointF(94, 80), 12, 9);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setBold(true);
    font.setPixelSize(26);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QPointF(22, 108), QStringLiteral("KAZ"));
    return pixmap;
}

} // namespace

QIcon appIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48, 64, 128})
        icon.addPixmap(drawIcon(size));
    return icon;
}

} // namespace kaz
