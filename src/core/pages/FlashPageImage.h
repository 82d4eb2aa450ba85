#pragma once
#include "pages/FlashPage.h"

// A page whose file is a raster image (JPEG, PNG).
class FlashPageImage : public FlashPage {
public:
    using FlashPage::FlashPage;

    bool isImagePage() const override { return true; }
    FlashPagePtr copyPage(int boxSize, int quality) const override;
    // Writes a JPEG copy whose longer side is boxSize into flashPageTempFolder().
    FlashPagePtr copyAsImgPage(int boxSize, int quality) const override;

    // Scales the image file so that its longer side is boxSize (enlarging small ones) and writes a
    // JPEG. Writes nothing when the source cannot be decoded.
    static void resizeImageFile(const QString& sourcePath, const QString& targetPath, int boxSize, int quality);
    // The box rule: the longer side becomes newBoxSize, the aspect ratio stays.
    static QSizeF rectRespectTheWidthAndHeight(double oldWidth, double oldHeight, double newBoxSize);
};
