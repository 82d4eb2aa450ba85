#include "pages/FlashPageSourceImg.h"
#include "pages/FlashPageImage.h"
#include "pages/ImageUtility.h"

namespace {
constexpr int kNormalBoxSize = 1440;
constexpr int kThumbBoxSize = 180;
constexpr int kPhoneBoxSize = 1440;
constexpr int kQuality = 100;
}

void FlashPageSourceImg::addImgPageFromFile(const QString& path) {
    auto page = std::make_shared<FlashPageImage>(path, int(pages().size()) + 1);
    page->setShownSize(ImageUtility::shownPixelSize(path));
    pages().append(page);
}

void FlashPageSourceImg::generateNormalPages() {
    generateRenditions(normalPages(), kNormalBoxSize, false);
}

void FlashPageSourceImg::generateThumbPages() {
    generateRenditions(thumbPages(), kThumbBoxSize, true);
}

void FlashPageSourceImg::generatePhonePages() {
    generateRenditions(phonePages(), kPhoneBoxSize, true);
}

void FlashPageSourceImg::generateRenditions(FlashPageList& list, int boxSize, bool scaled) {
    for (const FlashPagePtr& page : pages()) {
        const int index = page->pageIndex();
        if (findPageWithIndex(list, index))
            continue;
        FlashPagePtr rendition = scaled ? page->copyAsImgPage(boxSize, kQuality) : page->copyPage(boxSize, kQuality);
        if (!rendition)
            continue;
        list.insert(qBound<qsizetype>(0, qsizetype(index) - 1, list.size()), rendition);
    }
}
