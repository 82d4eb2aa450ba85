#include "pages/BlankPageImage.h"
#include "pages/FlashPageImage.h"
#include "pages/ImageUtility.h"
#include <QFont>
#include <QPainter>

namespace BlankPageImage {

QImage make(const QSizeF& pagePoints, int boxSize, const QString& notice) {
    const QSizeF points = pagePoints.width() > 0 && pagePoints.height() > 0 ? pagePoints : QSizeF(595, 842);
    const QSize pixels = ImageUtility::pixelSize(
        FlashPageImage::rectRespectTheWidthAndHeight(points.width(), points.height(), qBound(16, boxSize, 8192)));
    QImage page(pixels, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    const int margin = qMax(2, pixels.width() / 12);
    const QRect box = page.rect().adjusted(margin, margin, -margin, -margin);
    painter.setPen(QPen(QColor(190, 190, 190), qMax(1, pixels.width() / 240), Qt::DashLine));
    painter.drawRect(box);
    QFont font;
    font.setPixelSize(qMax(6, pixels.width() / 28));
    painter.setFont(font);
    painter.setPen(QColor(90, 90, 90));
    painter.drawText(box.adjusted(margin / 2, 0, -margin / 2, 0), Qt::AlignCenter | Qt::TextWordWrap, notice);
    return page;
}

}
