#include "pages/FlashPageSourcePDF.h"
#include "pages/BlankPageImage.h"
#include "pages/FlashPageImage.h"
#include "pages/ImageUtility.h"
#include "pages/PDFOpenResult.h"
#include "util/Log.h"
#include "util/NotificationCenter.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <poppler-qt6.h>

namespace {
// Below this much room a page file that did not appear is put down to the disk, not the page.
constexpr qint64 kRoomForAPage = 1024 * 1024;

bool isSwfPath(const QString& path) {
    return QFileInfo(path).suffix().toUpper() == QStringLiteral("SWF");
}

bool diskIsFull(const QString& folder) {
    const QStorageInfo disk(folder);
    return disk.isValid() && disk.bytesAvailable() < kRoomForAPage;
}
}

FlashPageSourcePDF::FlashPageSourcePDF(const QString& PDFPath, const QString& pageRange, int DPI, int quality)
    : iPageRange(pageRange), iDPI(DPI), iQuality(quality) {
    setSourceFile(PDFPath);
    openDocument();
    iToPageConverter = std::make_unique<PDFToSWFPageConverter>(PDFPath, iPDFDoc, quality, DPI);
    selectPages();
}

FlashPageSourcePDF::~FlashPageSourcePDF() = default;

void FlashPageSourcePDF::setToPageConverter(std::unique_ptr<PDFToSWFPageConverter> converter) {
    iToPageConverter = std::move(converter);
}

// A document without pages is kept: the selection then says so.
void FlashPageSourcePDF::openDocument() {
    const PDFOpenResult opened = PDFOpenResult::open(sourceFile());
    iPDFDoc = opened.document();
    if (!iPDFDoc)
        iErrorString = opened.errorString();
}

// Numbers outside the document are dropped, so page indices stay the positions of real pages.
void FlashPageSourcePDF::selectPages() {
    const int total = iPDFDoc ? iPDFDoc->numPages() : 0;
    QList<int> dropped;
    for (int number : parsePageRange(iPageRange, total)) {
        if (number >= 1 && number <= total)
            iNeedToImportPages.append(number);
        else
            dropped.append(number);
    }
    if (!dropped.isEmpty() && iPDFDoc)
        spdlog::info("page numbers outside the document ({} pages) dropped: {}", total, dropped.size());
    if (!iErrorString.isEmpty() || !iNeedToImportPages.isEmpty())
        return;
    const QString name = QFileInfo(sourceFile()).fileName();
    iErrorString = total == 0
        ? QStringLiteral("\u201c%1\u201d has no pages.").arg(name)
        : QStringLiteral("The page range \u201c%1\u201d selects no page of \u201c%2\u201d, which has %3.")
              .arg(iPageRange, name, total == 1 ? QStringLiteral("1 page") : QStringLiteral("%1 pages").arg(total));
}

void FlashPageSourcePDF::prepareAhead() {
    if (!pages().isEmpty() || !iToPageConverter)
        return;
    QList<PDFToSWFPageConverter::JpegRendition> renditions;
    if (renderEngineType() == 1)
        renditions.append({iQuality, pageBoxSize()});
    if (iZoomPages)
        renditions.append(zoomRendition());
    renditions.append({kThumbQuality, kThumbBoxSize});
    renditions.append({iQuality, pageBoxSize()});
    iToPageConverter->prepareRenditions(iNeedToImportPages, renderEngineType() != 1, renditions, iTextLayer, stopFlag());
}

void FlashPageSourcePDF::generatePages() {
    spdlog::debug("[iNeedToImportPages count]={}", iNeedToImportPages.size());
    if (mustHalt())
        return;
    if (renderEngineType() != 1 && PDFToSWFPageConverter::getPDF2swfLibPath().isEmpty()) {
        iErrorString = QStringLiteral("The SWF page converter (pdf2swf) is missing; import JPEG pages instead.");
        spdlog::error("{}", iErrorString);
        return;
    }
    prepareAhead();
    for (int i = 0; i < iNeedToImportPages.size(); ++i) {
        if (mustHalt() || getPageAtIndex(i))
            break;
        const int number = iNeedToImportPages[i];
        QString path = renderEngineType() == 1
            ? iToPageConverter->generatePageAsJPEG(number, iQuality, pageBoxSize())
            : iToPageConverter->generatePage(number);
        if (!QFileInfo::exists(path))
            path = standInForFailedPage(number, iQuality, pageBoxSize(), QStringLiteral("page"));
        if (path.isEmpty())
            break;
        const FlashPagePtr page = isSwfPath(path) ? std::make_shared<FlashPage>(path, i)
                                                  : std::make_shared<FlashPageImage>(path, i);
        page->setPdfPage(number);
        page->setShownSize(shownSize(number));
        if (iTextLayer)
            page->setTextFilePath(iToPageConverter->generatePageText(number));
        pages().append(page);
        postProgress(i + 1, QStringLiteral("geneatePage"));
    }
}

void FlashPageSourcePDF::generateNormalPages() {
    for (int i = 0; i < pages().size(); ++i) {
        if (mustHalt())
            break;
        const FlashPagePtr page = pages()[i];
        if (!getNormalPageAtIndex(page->pageIndex()))
            normalPages().append(page->copyPage(100, 100));
        postProgress(i + 1, QStringLiteral("geneateNormalPage"));
    }
}

void FlashPageSourcePDF::generateZoomedPages() {
    if (!iZoomPages)
        return;
    const PDFToSWFPageConverter::JpegRendition zoom = zoomRendition();
    fileJpegRenditions(zoomedPages(), zoom.quality, zoom.boxSize, QStringLiteral("geneateZoomedPage"), zoom.scale);
}

void FlashPageSourcePDF::generateThumbPages() {
    fileJpegRenditions(thumbPages(), kThumbQuality, kThumbBoxSize, QStringLiteral("geneateThumbPage"));
}

void FlashPageSourcePDF::generatePhonePages() {
    fileJpegRenditions(phonePages(), iQuality, pageBoxSize(), QStringLiteral("geneatePhonePage"));
}

void FlashPageSourcePDF::fileJpegRenditions(FlashPageList& list, int quality, int boxSize, const QString& type, int scale) {
    for (int i = 0; i < iNeedToImportPages.size(); ++i) {
        if (mustHalt() || findPageWithIndex(list, i))
            break;
        const int number = iNeedToImportPages[i];
        QString path = iToPageConverter->generatePageAsJPEG(number, quality, boxSize, scale);
        if (isSwfPath(path))
            break;
        if (!QFileInfo::exists(path))
            path = standInForFailedPage(number, quality, boxSize * scale, type);
        if (path.isEmpty())
            break;
        const auto page = std::make_shared<FlashPageImage>(path, i);
        if (const FlashPagePtr imported = getPageAtIndex(i))
            page->takePageFacts(*imported);
        list.append(page);
        postProgress(i + 1, type);
    }
}

// The page as shown; a page whose size cannot be read takes the shape of the page before it.
QSizeF FlashPageSourcePDF::shownSize(int pageNumber) const {
    const QSizeF size = PDFToSWFPageConverter::pageSizeInPoints(iPDFDoc.get(), pageNumber);
    if (!size.isEmpty() || pages().isEmpty())
        return size;
    return pages().last()->shownSize();
}

// A page that did not render becomes a blank page with a notice and the import goes on; the page
// is listed in failedPages(). Only a page that cannot be written (a full disk) ends the import.
QString FlashPageSourcePDF::standInForFailedPage(int pageNumber, int quality, int boxSize, const QString& kind) {
    const QString folder = iToPageConverter->converterWorkFolder();
    const QString name = QFileInfo(sourceFile()).fileName();
    if (!diskIsFull(folder)) {
        const QString path = QDir(folder).filePath(QStringLiteral("failed-%1-%2.jpg").arg(kind).arg(pageNumber));
        const QString notice = QStringLiteral("Page %1 of \u201c%2\u201d could not be rendered.").arg(pageNumber).arg(name);
        if (ImageUtility::saveJPEG(BlankPageImage::make(shownSize(pageNumber), boxSize, notice), path, quality)) {
            if (!iFailedPages.contains(pageNumber)) {
                iFailedPages.append(pageNumber);
                std::sort(iFailedPages.begin(), iFailedPages.end());
                spdlog::info("page {} of {} could not be rendered; it is blank in the book", pageNumber, sourceFile());
            }
            return path;
        }
    }
    iWriteFailed = true;
    iErrorString = diskIsFull(folder)
        ? QStringLiteral("Page %1 of \u201c%2\u201d could not be written: the disk is full (%3).")
        : QStringLiteral("Page %1 of \u201c%2\u201d could not be written into %3.");
    iErrorString = iErrorString.arg(pageNumber).arg(name, folder);
    spdlog::error("{}", iErrorString);
    iToPageConverter->cancelPreparedRenditions();
    return {};
}

void FlashPageSourcePDF::postProgress(int pageIndex, const QString& type) const {
    NotificationCenter::defaultCenter().postNotification(
        ImportProgressInfoMSG, nullptr, ImportProgress{type, pageIndex, int(iNeedToImportPages.size())}.userInfo());
}
