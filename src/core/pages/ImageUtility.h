#pragma once
#include <QImage>
#include <QSize>
#include <QString>

// Image scaling and JPEG writing shared by the page sources and the theme snapshot.
class ImageUtility {
public:
    // Shrinks the image to fit maxwidth x maxheight (never enlarges) and writes it as JPEG.
    // quality is 0..1; 0 or less means 0.85, above 1 means 1. Source and target may be one file.
    static bool scaleAndSaveAsJPEG(const QString& sourcePath, int maxwidth, int maxheight, float quality,
                                   const QString& saveTo);

    // High-quality resampling (area averaging when shrinking), never nearest-neighbour. Halving
    // an opaque 32-bit or a gray image, the common case of a page derived from its zoom rendition,
    // takes a direct 2 x 2 average; one shrunk to a quarter or less (a thumbnail) is halved first.
    static QImage scaledImage(const QImage& image, const QSize& size);
    // Whether scaledImage starts shrinking a picture of size `from` to `to` by halving it.
    static bool shrinksByHalving(const QSize& from, const QSize& to);
    // JPEG bytes at quality 0..100 (4:2:0 like Qt's writer, one channel when every pixel is gray),
    // encoded by libjpeg-turbo straight from the pixels, which costs about a fifth less than Qt's
    // writer; empty when it fails.
    static QByteArray encodeJPEG(const QImage& image, int quality);
    // Opaque image: transparent areas become white, since JPEG has no alpha.
    static QImage flattenedOnWhite(const QImage& image);
    // JPEG with quality 0..100 for a page rendition in a work folder: written whole under a
    // temporary name that replaces the target, without waiting for the disk. When `half` is given
    // and both sides are even, it receives the picture at half its size (as scaledImage makes it),
    // made while the rows just encoded are still in the cache, else a null image: the next smaller
    // rendition of a page then costs no second pass over the picture. The half of a gray picture
    // is 8-bit gray, so the smaller renditions of a text page are made from a quarter the memory.
    static bool saveJPEG(const QImage& image, const QString& path, int quality, QImage* half = nullptr);
    // Writes a temporary file beside the target and renames it over the target.
    static bool writeFileAtomically(const QString& path, const QByteArray& bytes);
    // The image file's size as shown (its orientation tag applied), read from the header only;
    // empty when the file is not a readable image.
    static QSize shownPixelSize(const QString& path);
    // Whole pixels for a fractional size, at least 1 x 1.
    static QSize pixelSize(const QSizeF& size);
};
