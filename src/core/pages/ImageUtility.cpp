#include "pages/ImageUtility.h"
#include "util/AtomicFile.h"
#include "util/Log.h"
#include <QImageReader>
#include <QPainter>
#include <cmath>
#include <memory>
#include <turbojpeg.h>

namespace {
// Each 2 x 2 block of an opaque 32-bit image averaged into one pixel, rounded to nearest. Two
// channels at a time: red and blue in the low bytes of each 16-bit half, alpha and green shifted
// down into them; four bytes summed stay below 1024, so the halves never carry into each other.
void halveRgb32(const QImage& image, QImage& half) {
    constexpr quint32 kLow = 0x00ff00ff, kHalf = 0x00020002;
    const int width = half.width();
    for (int y = 0; y < half.height(); ++y) {
        const quint32* top = reinterpret_cast<const quint32*>(image.constScanLine(2 * y));
        const quint32* bottom = reinterpret_cast<const quint32*>(image.constScanLine(2 * y + 1));
        quint32* out = reinterpret_cast<quint32*>(half.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const quint32 a = top[2 * x], b = top[2 * x + 1], c = bottom[2 * x], d = bottom[2 * x + 1];
            const quint32 redBlue = (a & kLow) + (b & kLow) + (c & kLow) + (d & kLow) + kHalf;
            const quint32 alphaGreen = ((a >> 8) & kLow) + ((b >> 8) & kLow) + ((c >> 8) & kLow) + ((d >> 8) & kLow) + kHalf;
            out[x] = ((redBlue >> 2) & kLow) | (((alphaGreen >> 2) & kLow) << 8) | 0xff000000u;
        }
    }
}

void halveGray(const QImage& image, QImage& half) {
    const int width = half.width();
    for (int y = 0; y < half.height(); ++y) {
        const uchar* top = image.constScanLine(2 * y);
        const uchar* bottom = image.constScanLine(2 * y + 1);
        uchar* out = half.scanLine(y);
        for (int x = 0; x < width; ++x)
            out[x] = uchar((top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + 2) >> 2);
    }
}

bool halvable(const QImage& image) {
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_Grayscale8;
}

// An opaque 32-bit or a gray image at half its size, each pixel the average of the block it covers.
QImage halved(const QImage& image) {
    QImage half(image.width() / 2, image.height() / 2, image.format());
    if (half.isNull())
        return half;
    if (image.format() == QImage::Format_Grayscale8)
        halveGray(image, half);
    else
        halveRgb32(image, half);
    return half;
}

// Red = green = blue in every pixel of the row.
bool grayRow(const quint32* row, int width) {
    quint32 colour = 0;   // no early exit inside a row, so the loop is vectorized
    for (int x = 0; x < width; ++x)
        colour |= (row[x] ^ (row[x] >> 8)) & 0xffff;
    return colour == 0;
}

struct TurboDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
}

QImage ImageUtility::scaledImage(const QImage& image, const QSize& size) {
    if (image.size() == size)
        return image;
    if (halvable(image) && size * 2 == image.size())
        return halved(image);
    // Qt's smooth scaling averages every source pixel of the covered area when shrinking; a
    // picture four times the size or more is halved first, which averages the same way for less.
    if (halvable(image) && size.width() * 4 <= image.width() && size.height() * 4 <= image.height())
        return scaledImage(halved(image), size);
    return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage ImageUtility::grayWhenGray(const QImage& image) {
    if (image.format() != QImage::Format_RGB32)
        return image;
    const auto row = [&](int y) { return reinterpret_cast<const quint32*>(image.constScanLine(y)); };
    const int width = image.width(), height = image.height();
    // Every sixteenth row first: it finds the colour of nearly every coloured page in a fraction
    // of the whole pass, which only a gray page then makes.
    for (int y = 0; y < height; y += 16)
        if (!grayRow(row(y), width))
            return image;
    QImage gray(image.size(), QImage::Format_Grayscale8);
    if (gray.isNull())
        return image;
    for (int y = 0; y < height; ++y) {
        const quint32* in = row(y);
        if (!grayRow(in, width))
            return image;
        uchar* out = gray.scanLine(y);
        for (int x = 0; x < width; ++x)
            out[x] = uchar(in[x]);
    }
    gray.setDevicePixelRatio(image.devicePixelRatio());
    return gray;
}

// True when every pixel of a 32-bit image with alpha is opaque (rendered pages nearly always are).
static bool isOpaque32(const QImage& image) {
    for (int y = 0; y < image.height(); ++y) {
        const QRgb* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qAlpha(line[x]) != 255)
                return false;
    }
    return true;
}

QImage ImageUtility::flattenedOnWhite(const QImage& image) {
    if (!image.hasAlphaChannel())
        return image;
    const QImage::Format format = image.format();
    if ((format == QImage::Format_ARGB32 || format == QImage::Format_ARGB32_Premultiplied) && isOpaque32(image)) {
        QImage opaque = image;  // shares the pixels; nothing to blend
        opaque.reinterpretAsFormat(QImage::Format_RGB32);
        return opaque;
    }
    QImage flat(image.size(), QImage::Format_RGB32);
    flat.setDevicePixelRatio(image.devicePixelRatio());
    flat.fill(Qt::white);
    QPainter painter(&flat);
    painter.drawImage(0, 0, image);
    painter.end();
    return flat;
}

namespace {
struct TurboBufferDeleter {
    void operator()(unsigned char* bytes) const { tjFree(bytes); }
};

// A JPEG in libjpeg-turbo's own buffer, so that saving it writes the bytes without a copy.
struct Jpeg {
    std::unique_ptr<unsigned char, TurboBufferDeleter> bytes;
    unsigned long length = 0;
    QByteArray view() const { return QByteArray::fromRawData(reinterpret_cast<const char*>(bytes.get()), qsizetype(length)); }
};

Jpeg compress(const QImage& image, int quality) {
    QImage pixels = ImageUtility::flattenedOnWhite(image);
    if (pixels.format() != QImage::Format_Grayscale8 && pixels.format() != QImage::Format_RGB32)
        pixels = pixels.convertToFormat(QImage::Format_RGB32);
    pixels = ImageUtility::grayWhenGray(pixels);
    thread_local std::unique_ptr<void, TurboDeleter> encoder(tjInitCompress());
    if (pixels.isNull() || !encoder)
        return {};
    const int width = pixels.width(), height = pixels.height(), stride = int(pixels.bytesPerLine());
    quality = qBound(1, quality, 100);
    unsigned char* bytes = nullptr;
    unsigned long length = 0;
    int failed = 0;
    if (pixels.format() == QImage::Format_Grayscale8) {
        // Gray pixels are the JPEG's luminance as they stand: handed over as its one plane, they
        // skip the byte-by-byte copy that the pixel-format path makes, for the same bytes.
        const unsigned char* plane = pixels.constBits();
        failed = tjCompressFromYUVPlanes(encoder.get(), &plane, width, &stride, height, TJSAMP_GRAY, &bytes, &length,
                                         quality, 0);
    } else {
        // Qt's RGB32 is 0xffRRGGBB in native order: B, G, R, X in memory on little-endian machines.
        const int format = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
        failed = tjCompress2(encoder.get(), pixels.constBits(), width, stride, height, format, &bytes, &length,
                             TJSAMP_420, quality, 0);
    }
    Jpeg jpeg{std::unique_ptr<unsigned char, TurboBufferDeleter>(bytes), length};
    return failed ? Jpeg() : std::move(jpeg);
}
}

QByteArray ImageUtility::encodeJPEG(const QImage& image, int quality) {
    const Jpeg jpeg = compress(image, quality);
    return QByteArray(reinterpret_cast<const char*>(jpeg.bytes.get()), qsizetype(jpeg.length));
}

bool ImageUtility::saveJPEG(const QImage& image, const QString& path, int quality) {
    const Jpeg jpeg = compress(image, quality);
    return jpeg.bytes && AtomicFile::writeScratch(path, jpeg.view());
}

bool ImageUtility::writeFileAtomically(const QString& path, const QByteArray& bytes) {
    return AtomicFile::write(path, bytes);
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
    const QByteArray jpeg = encodeJPEG(scaled, int(std::lround(quality * 100)));
    if (jpeg.isEmpty()) {
        spdlog::error("Could not convert to JPEG");
        return false;
    }
    return writeFileAtomically(saveTo, jpeg);
}

QSize ImageUtility::shownPixelSize(const QString& path) {
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QSize size = reader.size();
    if (!size.isValid())
        return {};
    return reader.transformation().testFlag(QImageIOHandler::TransformationRotate90) ? size.transposed() : size;
}
