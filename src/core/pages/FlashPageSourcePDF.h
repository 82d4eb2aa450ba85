#pragma once
#include "pages/FlashPageSource.h"
#include "pages/ImportProgress.h"
#include "pages/PDFToSWFPageConverter.h"
#include <QList>
#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

// The pages of one PDF file and one selection of its pages. Page indices are 0-based positions
// in the selection; all page files live in the converter's work folder and go with the source.
class FlashPageSourcePDF : public FlashPageSource {
public:
    FlashPageSourcePDF(const QString& PDFPath, const QString& pageRange, int DPI, int quality);
    ~FlashPageSourcePDF() override;

    void generatePages() override;
    void generateNormalPages() override;
    // The zoom rendition of each page (twice its pixels), when zoomPages() is on.
    void generateZoomedPages() override;
    void generateThumbPages() override;
    void generatePhonePages() override;

    PDFToSWFPageConverter* toPageConverter() const { return iToPageConverter.get(); }
    void setToPageConverter(std::unique_ptr<PDFToSWFPageConverter> converter);

    // The 1-based PDF page numbers to import: the range's numbers that exist in the document.
    const QList<int>& needToImportPages() const { return iNeedToImportPages; }
    // Why nothing (more) can be imported, for the user; empty while all is well.
    QString errorString() const { return iErrorString; }
    // The failure is a page file that could not be written (a full disk, no permission).
    bool writeFailed() const { return iWriteFailed; }
    // PDF page numbers, ascending, of the pages that did not render and are blank pages with a notice.
    QList<int> failedPages() const { return iFailedPages; }

    // Whether the import makes the zoom renditions; set before the first pass. Off by default here.
    bool zoomPages() const { return iZoomPages; }
    void setZoomPages(bool on) { iZoomPages = on; }
    // Whether each page gets its text script; on by default.
    bool textLayer() const { return iTextLayer; }
    void setTextLayer(bool on) { iTextLayer = on; }

    // D x 1440 / 144: the longer side of JPEG pages and phone pages.
    int pageBoxSize() const { return iDPI * 1440 / 144; }
    static constexpr int kThumbBoxSize = 180;
    static constexpr int kThumbQuality = 80;

protected:
    bool lookupsHonourStop() const override { return true; }

private:
    void openDocument();
    void selectPages();
    bool mustHalt() const { return stop() || !iErrorString.isEmpty(); }
    // The zoom, thumbnail and phone passes: a JPEG rendition per selected page.
    void fileJpegRenditions(FlashPageList& list, int quality, int boxSize, const QString& type, int scale = 1);
    QString standInForFailedPage(int pageNumber, int quality, int boxSize, const QString& kind);
    QSizeF shownSize(int pageNumber) const;
    void prepareAhead();
    void postProgress(int pageIndex, const QString& type) const;

    std::shared_ptr<Poppler::Document> iPDFDoc;
    QString iPageRange;
    int iDPI;
    int iQuality;
    PDFToSWFPageConverter::JpegRendition zoomRendition() const { return {iQuality, pageBoxSize(), 2}; }

    std::unique_ptr<PDFToSWFPageConverter> iToPageConverter;
    bool iZoomPages = false;
    bool iTextLayer = true;
    QList<int> iNeedToImportPages;
    QString iErrorString;
    bool iWriteFailed = false;
    QList<int> iFailedPages;
};
