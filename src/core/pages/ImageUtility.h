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

    // High-quality resampling (area averaging when shrinking), never nearest-neighbour.
    static QImage scaledImage(const QImage& image, const QSize& size);
    // Opaque image: transparent areas become white, since JPEG has no alpha.
    static QImage flattenedOnWhite(const QImage& image);
    // JPEG with quality 0..100, written atomically (a temporary file replaces the target).
    static bool saveJPEG(const QImage& image, const QString& path, int quality);
    // Writes a temporary file beside the target and renames it over the target.
    static bool writeFileAtomically(const QString& path, const QByteArray& bytes);
    // The image file's size as shown (its orientation tag applied), read from the header only;
    // empty when the file is not a readable image.
    static QSize shownPixelSize(const QString& path);
    // Whole pixels for a fractional size, at least 1 x 1.
    static QSize pixelSize(const QSizeF& size);
};
