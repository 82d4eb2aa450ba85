#pragma once
#include "pages/PDFToPageConverter.h"
#include <QImage>
#include <QList>
#include <QSet>
#include <QSizeF>
#include <atomic>
#include <optional>

class PageRasterizer;
class PageText;
class PageRenderPipeline;

// Makes SWF pages through the pdf2swf tool, JPEG pages through poppler's cairo back end
// (PageRasterizer) and page text scripts (PageText). Work can be prepared ahead on worker threads
// (prepareRenditions); the generate calls then take the prepared files in their own order and
// make only what was not prepared.
class PDFToSWFPageConverter : public PDFToPageConverter {
public:
    // A JPEG whose longer side is boxSize pixels, times scale (the zoom rendition is twice its
    // page, pixel for pixel), never more than PageRasterizer::kMaxSide on a side.
    struct JpegRendition {
        int quality;
        int boxSize;
        int scale = 1;
        bool operator==(const JpegRendition&) const = default;
    };

    PDFToSWFPageConverter(const QString& PDFPath, std::shared_ptr<Poppler::Document> PDFDoc, int quality, int DPI);
    ~PDFToSWFPageConverter() override;

    // The bundled tool, resource "lib/pdf2swf"; empty when it is missing.
    static QString getPDF2swfLibPath();

    // "<n>.swf" made by pdf2swf; when no SWF appears, "<n>.jpg" rendered here (box 1440).
    QString generatePage(int pageNumber) override;
    // A JPEG under a fresh name in the work folder; the path is returned even if nothing was written.
    QString generatePageAsJPEG(int pageNumber, int quality, int boxSize, int scale = 1);
    // The page's text script (PageText) under a fresh name in the work folder; empty when it
    // could not be written.
    QString generatePageText(int pageNumber);
    void pdfPageToImage(int pageNumber, const QString& targetPath, int quality, int boxSize);
    void pdfPageToImage(int pageNumber, const QString& targetPath);
    static QSizeF rectRespectTheWidthAndHeight(double oldWidth, double oldHeight, double newBoxSize);

    // Starts worker threads that make, for each page number, the SWF page (when swfPages), the
    // JPEG renditions from a single render at the largest, and the text script (when withText).
    // Replaces earlier prepared work. stop is polled per page.
    void prepareRenditions(const QList<int>& pageNumbers, bool swfPages, const QList<JpegRendition>& renditions,
                           bool withText, const std::atomic<bool>* stop);
    void cancelPreparedRenditions();

    // The page as shown (rotation and crop box applied) in points; empty when there is no such page.
    static QSizeF pageSizeInPoints(Poppler::Document* doc, int pageNumber);
    // The page rendered so that its longer side is boxSize pixels (8192 at most); null when it
    // cannot be. Drawn by the rasterizer when one is given and open, else by poppler-qt6.
    static QImage renderPage(Poppler::Document* doc, int pageNumber, int boxSize,
                             const PageRasterizer* rasterizer = nullptr);
    static QSize renditionPixelSize(const QSizeF& pagePoints, const JpegRendition& rendition);

private:
    QString swfTargetPath(int pageNumber) const;
    QString freshJpegPath();
    bool runPdf2swf(int pageNumber, const QString& targetPath) const;
    QString freshTextPath();
    const PageRasterizer* rasterizer();
    QString makeSwfPage(int pageNumber, Poppler::Document* doc, const PageRasterizer* rasterizer);
    QString makePageText(int pageNumber, Poppler::Document* doc);
    QString writePageText(const PageText& text, int pageNumber);
    QStringList makePreparedPage(int pageNumber, Poppler::Document* doc, const PageRasterizer& rasterizer);
    static QImage renderAtSize(Poppler::Document* doc, int pageNumber, const QSize& size,
                               const PageRasterizer* rasterizer);
    // A prepared file for the page: slot -1 is the SWF page, others index iPrepared renditions.
    std::optional<QString> claimPrepared(int pageNumber, int slot);
    std::optional<QString> claimPreparedJpeg(int pageNumber, const JpegRendition& rendition);
    int textSlot() const { return int(iPreparedRenditions.size()); }

    std::atomic<int> iFileCounter{0};
    bool iPreparedSwf = false;
    QList<JpegRendition> iPreparedRenditions;
    bool iPreparedText = false;
    std::unique_ptr<PageRasterizer> iRasterizer;   // for pages made on the caller's thread
    QSet<QPair<int, int>> iClaimed;
    std::unique_ptr<PageRenderPipeline> iPipeline;
};
