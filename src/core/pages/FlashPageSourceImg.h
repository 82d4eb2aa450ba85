#pragma once
#include "pages/FlashPageSource.h"

// Pages made of image files. Page indices are 1-based positions; the rendition of page k sits at
// position k - 1 of its list.
class FlashPageSourceImg : public FlashPageSource {
public:
    void addImgPageFromFile(const QString& path);

    void generatePages() override {}
    void generateNormalPages() override;
    void generateThumbPages() override;
    void generatePhonePages() override;

private:
    void generateRenditions(FlashPageList& list, int boxSize, bool scaled);
};
