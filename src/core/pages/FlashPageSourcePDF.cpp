#include "pages/FlashPageSourcePDF.h"
#include "pages/FlashPageImage.h"
#include "util/Log.h"
#include "util/NotificationCenter.h"
#include <QFile>
#include <QFileInfo>
#include <poppler-qt6.h>

namespace {
bool isSwfPath(const QString& path) {
    return QFileInfo(path).suffix().toUpper() == QStringLiteral("SWF");
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

void FlashPageSourcePDF::openDocument() {
    const QString name = QFileInfo(sourceFile()).fileName();
    if (!QFileInfo(sourceFile()).isFile()) {
        iFailureReason = QStringLiteral("The file \u201c%1\u201d does not exist.").arg(sourceFile());
        return;
    }
    if (QFile file(sourceFile()); !file.open(QIODevice::ReadOnly)) {
        iFailureReason = QStringLiteral("\u201c%1\u201d cannot be read: %2.").arg(name, file.errorString());
        return;
    }
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(sourceFile());
    if (!doc) {
        iFailureReason = QStringLiteral("\u201c%1\u201d could not be opened as a PDF document; it may be damaged or not a PDF.").arg(name);
        return;
    }
    if (doc->isLocked()) {
        iFailureReason = QStringLiteral("\u201c%1\u201d is protected by a password and cannot be imported.").arg(name);
        return;
    }
    iPDFDoc = std::move(doc);
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
    if (!iFailureReason.isEmpty() || !iNeedToImportPages.isEmpty())
        return;
    const QString name = QFileInfo(sourceFile()).fileName();
    iFailureReason = total == 0
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
    renditions.append({kThumbQuality, kThumbBoxSize});
    renditions.append({iQuality, pageBoxSize()});
    iToPageConverter->prepareRenditions(iNeedToImportPages, renderEngineType() != 1, renditions, stopFlag());
}

void FlashPageSourcePDF::generatePages() {
    spdlog::debug("[iNeedToImportPages count]={}", iNeedToImportPages.size());
    if (mustHalt())
        return;
    if (renderEngineType() != 1 && PDFToSWFPageConverter::getPDF2swfLibPath().isEmpty()) {
        iFailureReason = QStringLiteral("The SWF page converter (pdf2swf) is missing; import JPEG pages instead.");
        spdlog::error("{}", iFailureReason);
        return;
    }
    prepareAhead();
    for (int i = 0; i < iNeedToImportPages.size(); ++i) {
        if (mustHalt() || getPageAtIndex(i))
            break;
        const int number = iNeedToImportPages[i];
        const QString path = renderEngineType() == 1
            ? iToPageConverter->generatePageAsJPEG(number, iQuality, pageBoxSize())
            : iToPageConverter->generatePage(number);
        if (!QFileInfo::exists(path)) {
            failPage(number);
            break;
        }
        const FlashPagePtr page = isSwfPath(path) ? std::make_shared<FlashPage>(path, i)
                                                  : std::make_shared<FlashPageImage>(path, i);
        page->setPdfPage(number);
        page->setShownSize(PDFToSWFPageConverter::pageSizeInPoints(iPDFDoc.get(), number));
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

void FlashPageSourcePDF::generateThumbPages() {
    fileJpegRenditions(thumbPages(), kThumbQuality, kThumbBoxSize, QStringLiteral("geneateThumbPage"));
}

void FlashPageSourcePDF::generatePhonePages() {
    fileJpegRenditions(phonePages(), iQuality, pageBoxSize(), QStringLiteral("geneatePhonePage"));
}

void FlashPageSourcePDF::fileJpegRenditions(FlashPageList& list, int quality, int boxSize, const QString& type) {
    for (int i = 0; i < iNeedToImportPages.size(); ++i) {
        if (mustHalt() || findPageWithIndex(list, i))
            break;
        const int number = iNeedToImportPages[i];
        const QString path = iToPageConverter->generatePageAsJPEG(number, quality, boxSize);
        if (isSwfPath(path))
            break;
        if (!QFileInfo::exists(path)) {
            failPage(number);
            break;
        }
        const auto page = std::make_shared<FlashPageImage>(path, i);
        if (const FlashPagePtr imported = getPageAtIndex(i))
            page->takePageFacts(*imported);
        list.append(page);
        postProgress(i + 1, type);
    }
}

// A page that did not render ends the import with a reason instead of a record of a missing file.
void FlashPageSourcePDF::failPage(int pageNumber) {
    iFailureReason = QStringLiteral("Page %1 of \u201c%2\u201d could not be rendered.")
                         .arg(pageNumber)
                         .arg(QFileInfo(sourceFile()).fileName());
    spdlog::error("{}", iFailureReason);
    iToPageConverter->cancelPreparedRenditions();
}

void FlashPageSourcePDF::postProgress(int pageIndex, const QString& type) const {
    NotificationCenter::defaultCenter().postNotification(
        ImportProgressInfoMSG, nullptr,
        {{QStringLiteral("pageIndex"), pageIndex},
         {QStringLiteral("totalPage"), int(iNeedToImportPages.size())},
         {QStringLiteral("type"), type}});
}
