#include "app/AppImages.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>

QPixmap AppImages::pixmap(const QString& name) {
    static QHash<QString, QPixmap> cache;
    auto found = cache.constFind(name);
    if (found != cache.constEnd()) return *found;
    QPixmap image;
    if (name == QLatin1String("apply")) image = drawApply(0);
    else if (name.startsWith(QLatin1String("apply"))) image = drawApply(name.mid(5).toInt());
    else image = drawCellButton(name);
    cache.insert(name, image);
    return image;
}

// "apply" is a green tick; "apply1".."apply3" turn an orange arc to say a change waits.
QPixmap AppImages::drawApply(int step) {
    QPixmap image(32, 32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    if (step <= 0) {
        p.setPen(QPen(QColor(0x2e, 0x8b, 0x3d), 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        QPainterPath tick;
        tick.moveTo(7, 17);
        tick.lineTo(13, 23);
        tick.lineTo(25, 9);
        p.drawPath(tick);
        return image;
    }
    p.setPen(QPen(QColor(0xe0, 0xe0, 0xe0), 4));
    p.drawEllipse(QRectF(5, 5, 22, 22));
    p.setPen(QPen(QColor(0xf0, 0x8c, 0x00), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(5, 5, 22, 22), (90 - 120 * (step - 1)) * 16, -120 * 16);
    return image;
}

QPixmap AppImages::drawCellButton(const QString& name) {
    QPixmap image(26, 26);
    image.setDevicePixelRatio(2.0);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const bool selected = name.contains(QLatin1String("selected"));
    QColor fill = selected ? QColor(Qt::white) : QColor(0x70, 0x70, 0x70);
    if (name.endsWith(QLatin1String("-hovered"))) fill = fill.darker(selected ? 115 : 70);
    if (name.endsWith(QLatin1String("-mouse"))) fill = fill.darker(selected ? 140 : 150);
    p.setPen(Qt::NoPen);
    p.setBrush(fill);
    p.drawEllipse(QRectF(0.5, 0.5, 12, 12));
    p.setPen(selected ? QColor(0x30, 0x60, 0xb0) : QColor(Qt::white));
    QFont font = p.font();
    font.setPixelSize(10);
    font.setBold(true);
    p.setFont(font);
    const QString glyph = name.startsWith(QLatin1String("info-")) ? QStringLiteral("i") : QStringLiteral("…");
    p.drawText(QRectF(0.5, 0, 12, 12), Qt::AlignCenter, glyph);
    return image;
}
