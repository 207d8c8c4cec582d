#include "app/Icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QPixmap windowIconPixmap(int size)
{
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0x1f, 0x3a, 0x5f));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(0, 0, size, size), size * 0.15, size * 0.15);
    // A falling trace with one reflective peak.
    QPainterPath path;
    const double s = size;
    path.moveTo(0.1 * s, 0.25 * s);
    path.lineTo(0.45 * s, 0.45 * s);
    path.lineTo(0.5 * s, 0.2 * s);
    path.lineTo(0.55 * s, 0.55 * s);
    path.lineTo(0.9 * s, 0.75 * s);
    p.setPen(QPen(QColor(0xff, 0xd0, 0x40), qMax(1.0, s / 14.0)));
    p.setBrush(Qt::NoBrush);
    p.drawPath(path);
    p.end();
    return pm;
}

QIcon windowIcon()
{
    QIcon icon;
    for (int size : {16, 32, 48})
        icon.addPixmap(windowIconPixmap(size));
    return icon;
}

QIcon eventIcon(int kind)
{
    // Image resources 150 (non-reflective) and 151 (reflective), loaded once.
    static const QIcon icons[2] = {QIcon(QStringLiteral(":/png/150.png")), QIcon(QStringLiteral(":/png/151.png"))};
    return icons[kind == 1 ? 1 : 0];
}
