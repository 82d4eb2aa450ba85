#include "pages/ImageUtility.h"
#include "util/Log.h"
#include <QBuffer>
#include <QImageReader>
#include <QPainter>
#include <QSaveFile>
#include <cmath>

QImage ImageUtility::scaledImage(const QImage& image, const QSize& size) {
    if (image.size() == size)
        return image;
    // Qt's smooth scaling averages every source pixel of the covered area when shrinking.
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage ImageUtility::flattenedOnWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image;
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDevicePixelRatio(image.devicePixelRatio());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

bool ImageUtility::saveJPEG(const QImage& image, const QString& path, int quality) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    if (!flattenedOnWhite(image).save(&file, "JPEG", qBound(0, quality, 100))) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QSize ImageUtility::pixelSize(const QSizeF& size) {
    return QSize(qMax(1, int(std::lround(size.width()))), qMax(1, int(std::lround(size.height()))));
}

bool ImageUtility::scaleAndSaveAsJPEG(const QString& sourcePath, int maxwidth, int maxheight, float quality,
                                      const QString& saveTo) {
    QImageReader reader(sourcePath);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        spdlog::error("Could not load '{}'", sourcePath);
        return false;
    }
    int width = image.width();
    int height = image.height();
    if (maxwidth <= 0 || maxheight <= 0) {
        spdlog::error("Could not render image");
        return false;
    }
    if (width > maxwidth || height > maxheight) {
        // h / (w / W) in exact integer arithmetic, so 400 x 200 into 180 gives 90, not 89.99..
        const qint64 w = width, h = height;
        if (w * maxheight > h * maxwidth) {
            height = int(qMax<qint64>(1, h * maxwidth / w));
            width = maxwidth;
        } else {
            width = int(qMax<qint64>(1, w * maxheight / h));
            height = maxheight;
        }
    }
    const QImage scaled = scaledImage(image, QSize(width, height));
    if (scaled.isNull()) {
        spdlog::error("Could not scale image");
        return false;
    }
    if (quality <= 0)
        quality = 0.85f;
    else if (quality > 1)
        quality = 1.0f;
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!flattenedOnWhite(scaled).save(&buffer, "JPEG", int(std::lround(quality * 100)))) {
        spdlog::error("Could not convert to JPEG");
        return false;
    }
    QSaveFile file(saveTo);
    return file.open(QIODevice::WriteOnly) && file.write(jpeg) == jpeg.size() && file.commit();
}
