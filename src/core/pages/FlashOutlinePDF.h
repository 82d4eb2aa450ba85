#pragma once
#include "outline/FlashOutline.h"

namespace Poppler {
class Document;
class OutlineItem;
}

// An outline read from the bookmarks of a PDF document.
class FlashOutlinePDF : public FlashOutline {
public:
    // Appends the document's bookmarks to items (a null or locked document adds nothing). Page
    // indices are PDF page numbers, whatever range was imported. A bookmark without a target page
    // in the document keeps page index 0 when it has sub-entries and is left out otherwise.
    // Call on the thread that uses the document.
    void loadOutlineFromPDF(Poppler::Document* pdfDoc);
    // Adds the bookmark's sub-entries under parentItem, recursively, one level below level.
    void addOutelineToItems(FlashOutlineItem& parentItem, const Poppler::OutlineItem& outline,
                            int level, Poppler::Document* pdfDoc);

private:
    std::shared_ptr<FlashOutlineItem> makeItem(const Poppler::OutlineItem& bookmark, int level,
                                               Poppler::Document* pdfDoc);
};
