#include "pages/ImageUtility.h"
#include "util/AtomicFile.h"
#include "util/Log.h"
#include <QImageReader>
#include <QPainter>
#include <array>
#include <climits>
#include <cstdlib>
#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>
#include <jpeglib.h>
#include <jpegint.h>   // the forward DCT module, see FlatBlocks
#ifndef LIBJPEG_TURBO_VERSION_NUMBER
#error "libjpeg-turbo's libjpeg is needed: FlatBlocks stands in for its forward DCT entry point"
#endif
#include <turbojpeg.h>

namespace {
// Each 2 x 2 block of an opaque 32-bit image averaged into one pixel, rounded to nearest. Two
// channels at a time: red and blue in the low bytes of each 16-bit half, alpha and green shifted
// down into them; four bytes summed stay below 1024, so the halves never carry into each other.
void halveRgb32(const QImage& image, QImage& half, int firstRow, int endRow) {
    constexpr quint32 kLow = 0x00ff00ff, kHalf = 0x00020002;
    const int width = half.width();
    for (int y = firstRow; y < endRow; ++y) {
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

// The 2 x 2 averages of two gray rows, rounded to nearest.
void halveGrayRows(const uchar* top, const uchar* bottom, uchar* out, int width) {
    for (int x = 0; x < width; ++x)
        out[x] = uchar((top[2 * x] + top[2 * x + 1] + bottom[2 * x] + bottom[2 * x + 1] + 2) >> 2);
}

void halveGray(const QImage& image, QImage& half, int firstRow, int endRow) {
    for (int y = firstRow; y < endRow; ++y)
        halveGrayRows(image.constScanLine(2 * y), image.constScanLine(2 * y + 1), half.scanLine(y), half.width());
}

bool halvable(const QImage& image) {
    return image.format() == QImage::Format_RGB32 || image.format() == QImage::Format_Grayscale8;
}

// Rows [firstRow, endRow) of the half-size picture of an opaque 32-bit or a gray image, each pixel
// the average of the 2 x 2 block it covers.
void halveRows(const QImage& image, QImage& half, int firstRow, int endRow) {
    if (image.format() == QImage::Format_Grayscale8)
        halveGray(image, half, firstRow, endRow);
    else
        halveRgb32(image, half, firstRow, endRow);
}

QImage halved(const QImage& image) {
    QImage half(image.width() / 2, image.height() / 2, image.format());
    if (!half.isNull())
        halveRows(image, half, 0, half.height());
    return half;
}

// Red = green = blue in every pixel of the row.
bool grayRow(const quint32* row, int width) {
    quint32 colour = 0;   // no early exit inside a row, so the loop is vectorized
    for (int x = 0; x < width; ++x)
        colour |= (row[x] ^ (row[x] >> 8)) & 0xffff;
    return colour == 0;
}

// A 32-bit row as bytes, blue, which equals red and green in every pixel when the row is gray; false
// when it is not. One pass, vectorized like grayRow.
bool grayBytes(const quint32* __restrict in, uchar* __restrict out, int width) {
    quint32 colour = 0;
    for (int x = 0; x < width; ++x) {
        colour |= (in[x] ^ (in[x] >> 8)) & 0xffff;
        out[x] = uchar(in[x]);
    }
    return colour == 0;
}

const quint32* rgbRow(const QImage& image, int y) {
    return reinterpret_cast<const quint32*>(image.constScanLine(y));
}

// Every sixteenth row of an opaque 32-bit image gray: a look that finds the colour of nearly every
// coloured page in a fraction of a whole pass, which then only a gray page makes.
bool sampledRowsGray(const QImage& image) {
    for (int y = 0; y < image.height(); y += 16)
        if (!grayRow(rgbRow(image, y), image.width()))
            return false;
    return true;
}

}

bool ImageUtility::shrinksByHalving(const QSize& from, const QSize& to) {
    // Qt's smooth scaling averages every source pixel of the covered area when shrinking; a
    // picture four times the size or more is halved first, which averages the same way for less.
    return to * 2 == from || (to.width() * 4 <= from.width() && to.height() * 4 <= from.height());
}

QImage ImageUtility::scaledImage(const QImage& image, const QSize& size) {
    if (image.size() == size)
        return image;
    if (!halvable(image) || !shrinksByHalving(image.size(), size))
        return image.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    return size * 2 == image.size() ? halved(image) : scaledImage(halved(image), size);
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

// libjpeg reports a failure by a jump back into the encoder, which then gives up the picture.
struct JpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf failed;
};

[[noreturn]] void jumpBack(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->failed, 1);
}

// Hands the rows to libjpeg one row of blocks at a time and, when `half` is given, halves each such
// band into it while its rows are still in the cache. Gray rows go in as the luminance plane, padded
// to whole blocks the way libjpeg pads them, which skips its byte-by-byte copy of gray input; a
// 32-bit picture encoded in gray is checked and converted on the way, and the first coloured row
// stops the pass (false).
bool writeRows(jpeg_compress_struct& info, const QImage& pixels, bool gray, QImage* half, uchar* strip, int paddedWidth) {
    const int width = pixels.width(), height = pixels.height();
    const bool fromRgb = pixels.format() == QImage::Format_RGB32;
    const int band = gray ? DCTSIZE : 2 * DCTSIZE;   // 4:2:0 colour blocks cover 16 rows
    JSAMPROW rows[2 * DCTSIZE];
    for (int y = 0; y < height; y += band) {
        const int count = qMin(band, height - y);
        if (!gray) {
            for (int i = 0; i < count; ++i)
                rows[i] = const_cast<uchar*>(pixels.constScanLine(y + i));
            jpeg_write_scanlines(&info, rows, JDIMENSION(count));
            if (half)
                halveRows(pixels, *half, y / 2, qMin((y + count) / 2, half->height()));
            continue;
        }
        for (int i = 0; i < band; ++i) {
            rows[i] = strip + size_t(i) * paddedWidth;
            if (i >= count) {   // rows below the picture repeat its last one
                std::memcpy(rows[i], rows[count - 1], size_t(paddedWidth));
                continue;
            }
            if (fromRgb) {
                const quint32* in = rgbRow(pixels, y + i);
                if (!grayBytes(in, rows[i], width))
                    return false;
            } else {
                std::memcpy(rows[i], pixels.constScanLine(y + i), size_t(width));
            }
            std::memset(rows[i] + width, rows[i][width - 1], size_t(paddedWidth - width));
        }
        JSAMPARRAY planes[1] = {rows};
        jpeg_write_raw_data(&info, planes, JDIMENSION(band));
        for (int i = 0; half && i + 1 < count && (y + i) / 2 < half->height(); i += 2)
            halveGrayRows(rows[i], rows[i + 1], half->scanLine((y + i) / 2), half->width());
    }
    return true;
}

// Most blocks of a page are one flat value: paper, the inside of a rule or a bold stroke, a flat
// area of a chroma plane. A flat block's coefficients depend on that value and the quantization
// table alone, so the first flat block of each value goes through the library's own DCT and
// quantizer and later ones copy its coefficients: the bytes stay the library's, and most blocks of
// a text page skip the DCT. It stands in for the forward DCT module's one entry point, which the
// library calls for the blocks of every component.
struct FlatBlocks {
    using Transform = decltype(jpeg_forward_dct::forward_DCT);
    Transform transform = nullptr;   // the library's own
    std::array<std::array<bool, 256>, NUM_QUANT_TBLS> known{};
    std::array<std::array<JBLOCK, 256>, NUM_QUANT_TBLS> blocks;
};

// The value of an 8 x 8 block whose samples are all equal, or -1.
int flatValue(const JSAMPARRAY rows, JDIMENSION column) {
    static_assert(sizeof(JSAMPLE) == 1, "8-bit samples");
    quint64 first = 0;
    std::memcpy(&first, rows[0] + column, sizeof first);
    if (first != rows[0][column] * 0x0101010101010101ULL)
        return -1;
    for (int y = 1; y < DCTSIZE; ++y) {
        quint64 row = 0;
        std::memcpy(&row, rows[y] + column, sizeof row);
        if (row != first)
            return -1;
    }
    return rows[0][column];
}

void transformBlocks(j_compress_ptr info, jpeg_component_info* component, JSAMPARRAY samples, JBLOCKROW blocks,
                     JDIMENSION startRow, JDIMENSION startColumn, JDIMENSION count) {
    auto& flat = *static_cast<FlatBlocks*>(info->client_data);
    const int table = component->quant_tbl_no;
    for (JDIMENSION i = 0; i < count; ++i, startColumn += DCTSIZE) {
        const int value = flatValue(samples + startRow, startColumn);
        if (value < 0 || !flat.known[table][value]) {
            flat.transform(info, component, samples, blocks + i, startRow, startColumn, 1);
            if (value >= 0) {
                std::memcpy(flat.blocks[table][value], blocks[i], sizeof(JBLOCK));
                flat.known[table][value] = true;
            }
        } else {
            std::memcpy(blocks[i], flat.blocks[table][value], sizeof(JBLOCK));
        }
    }
}

enum class Encoding { Written, Failed, Coloured };

// The libjpeg calls, in a function of their own: a failure jumps back here, past nothing that
// needs destroying. The JPEG goes into *output, which holds *length bytes.
Encoding encodeInto(const QImage& pixels, bool gray, int quality, QImage* half, uchar* strip, int paddedWidth,
                    FlatBlocks* flat, unsigned char** output, unsigned long* length) {
    jpeg_compress_struct info{};
    JpegErrors errors{};
    info.err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = jumpBack;
    if (setjmp(errors.failed)) {
        jpeg_destroy_compress(&info);
        return Encoding::Failed;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, output, length);
    info.image_width = JDIMENSION(pixels.width());
    info.image_height = JDIMENSION(pixels.height());
    info.input_components = gray ? 1 : 4;
    // Qt's RGB32 is 0xffRRGGBB in native order: B, G, R, X in memory on little-endian machines.
    info.in_color_space = gray ? JCS_GRAYSCALE : QSysInfo::ByteOrder == QSysInfo::LittleEndian ? JCS_EXT_BGRX : JCS_EXT_XRGB;
    jpeg_set_defaults(&info);   // 4:2:0 colour, or the one gray channel
    jpeg_set_quality(&info, quality, TRUE);
    info.raw_data_in = gray;
    jpeg_start_compress(&info, TRUE);
    if (info.fdct && info.fdct->forward_DCT) {
        flat->transform = info.fdct->forward_DCT;
        flat->known = {};
        info.client_data = flat;
        info.fdct->forward_DCT = transformBlocks;
    }
    const bool written = writeRows(info, pixels, gray, half, strip, paddedWidth);
    if (written)
        jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);   // also abandons a pass stopped by colour
    return written ? Encoding::Written : Encoding::Coloured;
}

// The picture as a baseline JPEG and, when `half` is given, its half-size picture made on the way.
// A 32-bit picture that a sampled look finds gray is encoded in gray, and again in colour should a
// coloured row turn up.
Jpeg compress(const QImage& image, int quality, QImage* half = nullptr) {
    QImage pixels = ImageUtility::flattenedOnWhite(image);
    if (pixels.format() != QImage::Format_Grayscale8 && pixels.format() != QImage::Format_RGB32)
        pixels = pixels.convertToFormat(QImage::Format_RGB32);
    if (pixels.isNull())
        return {};
    const bool fromRgb = pixels.format() == QImage::Format_RGB32;
    const bool even = pixels.width() % 2 == 0 && pixels.height() % 2 == 0;
    // libjpeg-turbo's bound for the worst case, so the output never moves while it grows.
    const unsigned long capacity = tjBufSize(pixels.width(), pixels.height(), fromRgb ? TJSAMP_420 : TJSAMP_GRAY);
    if (capacity > static_cast<unsigned long>(INT_MAX))
        return {};
    Jpeg jpeg{std::unique_ptr<unsigned char, TurboBufferDeleter>(tjAlloc(int(capacity))), 0};
    const int paddedWidth = (pixels.width() + DCTSIZE - 1) / DCTSIZE * DCTSIZE;
    std::vector<uchar> strip(size_t(paddedWidth) * DCTSIZE);   // a gray band, whole blocks wide
    const std::unique_ptr<FlatBlocks> flat(new FlatBlocks);   // its blocks are written before they are read
    Encoding encoding = Encoding::Coloured;
    for (bool gray : {!fromRgb || sampledRowsGray(pixels), false}) {
        if (half)   // only a picture of even sides has a half that each pixel of it fills exactly
            *half = even ? QImage(pixels.width() / 2, pixels.height() / 2,
                                  gray ? QImage::Format_Grayscale8 : QImage::Format_RGB32)
                         : QImage();
        unsigned char* output = jpeg.bytes.get();
        jpeg.length = capacity;
        encoding = output ? encodeInto(pixels, gray, qBound(1, quality, 100), half && !half->isNull() ? half : nullptr,
                                       strip.data(), paddedWidth, flat.get(), &output, &jpeg.length)
                          : Encoding::Failed;
        if (output != jpeg.bytes.get()) {   // outgrew the bound, which cannot happen: refused, not trusted
            std::free(output);
            encoding = Encoding::Failed;
        }
        if (encoding != Encoding::Coloured || !gray)
            break;
    }
    if (encoding != Encoding::Written) {
        if (half)
            *half = QImage();
        return {};
    }
    return jpeg;
}
}

QByteArray ImageUtility::encodeJPEG(const QImage& image, int quality) {
    const Jpeg jpeg = compress(image, quality);
    return QByteArray(reinterpret_cast<const char*>(jpeg.bytes.get()), qsizetype(jpeg.length));
}

bool ImageUtility::saveJPEG(const QImage& image, const QString& path, int quality, QImage* half) {
    const Jpeg jpeg = compress(image, quality, half);
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
