#include "pages/FlashPageImage.h"
#include "pages/ImageUtility.h"
#include "util/Log.h"
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <atomic>

namespace {
// Time-stamped and counted, so no two calls of this process share a name.
QString freshImageName() {
    static std::atomic<int> counter{0};
    return QStringLiteral("%1-%2.jpg")
        .arg(QDateTime::currentDateTime().toString(QStringLiteral("MMddyyyyHHmmsszzz")))
        .arg(counter++);
}
}

FlashPagePtr FlashPageImage::copyPage(int, int) const {
    auto copy = std::make_shared<FlashPageImage>(pageFilePath(), pageIndex());
    copy->takePageFacts(*this);
    return copy;
}

FlashPagePtr FlashPageImage::copyAsImgPage(int boxSize, int quality) const {
    const QString target = QDir(flashPageTempFolder()).filePath(freshImageName());
    Log::system(target);
    resizeImageFile(pageFilePath(), target, boxSize, quality);
    auto copy = std::make_shared<FlashPageImage>(target, pageIndex());
    copy->takePageFacts(*this);
    return copy;
}

void FlashPageImage::resizeImageFile(const QString& sourcePath, const QString& targetPath, int boxSize, int quality) {
    QImageReader reader(sourcePath);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) {
        spdlog::error("cannot decode page image {}: {}", sourcePath, reader.errorString());
        return;
    }
    const QSizeF size = rectRespectTheWidthAndHeight(image.width(), image.height(), boxSize);
    const QImage scaled = ImageUtility::scaledImage(image, ImageUtility::pixelSize(size));
    ImageUtility::saveJPEG(scaled, targetPath, quality);
}

QSizeF FlashPageImage::rectRespectTheWidthAndHeight(double oldWidth, double oldHeight, double newBoxSize) {
    if (oldWidth <= 0 || oldHeight <= 0)
        return QSizeF(newBoxSize, newBoxSize);
    const double ratio = oldWidth / oldHeight;
    if (ratio >= 1)
        return QSizeF(float(newBoxSize), float(newBoxSize / ratio));
    return QSizeF(float(newBoxSize * ratio), float(newBoxSize));
}
