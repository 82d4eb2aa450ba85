#pragma once
#include "annotations/FlashPagesAnnotations.h"

#include <QList>

namespace Poppler {
class Document;
class Link;
}

// Page links read from the link annotations of a PDF document.
class FlashPagesAnnotationsPDF : public FlashPagesAnnotations {
public:
    // Scans the given 1-based PDF page numbers -- the page source's own selection, so that the
    // "pageIndex" of every "pageAnnos" matches the book page it belongs to. Numbers outside the
    // document are left out, as the page source leaves them out; a null or locked document gives
    // an empty "pagesAnnos". Empties needFiles. Call on the thread that uses the document.
    void loadLinksFromPDF(Poppler::Document* pdfDoc, const QList<int>& needToImportPages);

private:
    void parsePage(Poppler::Document* pdfDoc, pugi::xml_node pagesAnnos);
    static void appendLink(pugi::xml_node pageAnnos, const Poppler::Link& link, int pageCount);

    QList<int> iNeedToImportPages;
    int iCurrentIndex = 0;
};
