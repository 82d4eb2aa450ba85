#include "pages/FlashOutlinePDF.h"

#include "util/Log.h"

#include <poppler-qt6.h>

namespace {
// The bookmark's target as a 1-based page number of the document, or 0 when it names none.
int targetPage(const Poppler::OutlineItem& bookmark, const Poppler::Document* pdfDoc)
{
    const auto destination = bookmark.destination();
    if (!destination || !bookmark.externalFileName().isEmpty())
        return 0;
    const int page = destination->pageNumber();
    return page >= 1 && page <= pdfDoc->numPages() ? page : 0;
}
}

void FlashOutlinePDF::loadOutlineFromPDF(Poppler::Document* pdfDoc)
{
    if (!pdfDoc || pdfDoc->isLocked())
        return;
    for (const Poppler::OutlineItem& bookmark : pdfDoc->outline()) {
        if (auto item = makeItem(bookmark, 1, pdfDoc))
            iItems.append(item);
    }
}

void FlashOutlinePDF::addOutelineToItems(FlashOutlineItem& parentItem, const Poppler::OutlineItem& outline,
                                         int level, Poppler::Document* pdfDoc)
{
    if (level >= FlashOutlineItem::kMaxDepth)
        return;
    for (const Poppler::OutlineItem& bookmark : outline.children()) {
        if (auto item = makeItem(bookmark, level + 1, pdfDoc))
            parentItem.addChild(item);
    }
}

std::shared_ptr<FlashOutlineItem> FlashOutlinePDF::makeItem(const Poppler::OutlineItem& bookmark, int level,
                                                            Poppler::Document* pdfDoc)
{
    auto item = std::make_shared<FlashOutlineItem>();
    // An untitled bookmark has an empty caption, not a missing one.
    item->setCaption(bookmark.name().isNull() ? QStringLiteral("") : bookmark.name());
    item->setPageIndex(targetPage(bookmark, pdfDoc));
    item->setLevel(level);
    spdlog::debug("{}", item->caption());
    if (bookmark.hasChildren())
        addOutelineToItems(*item, bookmark, level, pdfDoc);
    if (item->pageIndex() == 0 && item->childItems().isEmpty())
        return nullptr;
    return item;
}
