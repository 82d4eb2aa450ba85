#pragma once
#include "pages/FlashPageSource.h"
#include "pages/PDFToSWFPageConverter.h"
#include <QList>
#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

// Name of the progress notification posted after each page of each pass. Its user information:
// "pageIndex" (1-based count in this pass), "totalPage", "type" ("geneatePage", "geneateNormalPage",
// "geneateThumbPage", "geneatePhonePage").
inline const QString ImportProgressInfoMSG = QStringLiteral("ImportProgressInfoMSG");

// The pages of one PDF file and one selection of its pages. Page indices are 0-based positions
// in the selection; all page files live in the converter's work folder and go with the source.
class FlashPageSourcePDF : public FlashPageSource {
public:
    FlashPageSourcePDF(const QString& PDFPath, const QString& pageRange, int DPI, int quality);
    ~FlashPageSourcePDF() override;

    void generatePages() override;
    void generateNormalPages() override;
    void generateThumbPages() override;
    void generatePhonePages() override;

    PDFToSWFPageConverter* toPageConverter() const { return iToPageConverter.get(); }
    void setToPageConverter(std::unique_ptr<PDFToSWFPageConverter> converter);

    // The 1-based PDF page numbers to import: the range's numbers that exist in the document.
    const QList<int>& needToImportPages() const { return iNeedToImportPages; }
    // Why nothing (more) can be imported, for the user; empty while all is well.
    QString failureReason() const { return iFailureReason; }
    // The failure is a page file that could not be written (a full disk, no permission).
    bool writeFailed() const { return iWriteFailed; }
    // PDF page numbers, ascending, of the pages that did not render and are blank pages with a notice.
    QList<int> failedPages() const { return iFailedPages; }

    // D x 1440 / 144: the longer side of JPEG pages and phone pages.
    int pageBoxSize() const { return iDPI * 1440 / 144; }
    static constexpr int kThumbBoxSize = 180;
    static constexpr int kThumbQuality = 80;

protected:
    bool lookupsHonourStop() const override { return true; }

private:
    void openDocument();
    void selectPages();
    bool mustHalt() const { return stop() || !iFailureReason.isEmpty(); }
    // The thumbnail and phone passes: a JPEG rendition per selected page.
    void fileJpegRenditions(FlashPageList& list, int quality, int boxSize, const QString& type);
    QString standInForFailedPage(int pageNumber, int quality, int boxSize, const QString& kind);
    QSizeF shownSize(int pageNumber) const;
    void prepareAhead();
    void postProgress(int pageIndex, const QString& type) const;

    std::shared_ptr<Poppler::Document> iPDFDoc;
    QString iPageRange;
    int iDPI;
    int iQuality;
    std::unique_ptr<PDFToSWFPageConverter> iToPageConverter;
    QList<int> iNeedToImportPages;
    QString iFailureReason;
    bool iWriteFailed = false;
    QList<int> iFailedPages;
};
