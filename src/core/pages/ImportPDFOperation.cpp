#include "pages/ImportPDFOperation.h"
#include "pages/FlashPagesAnnotationsPDF.h"
#include "pages/FlashOutlinePDF.h"
#include "pages/FlashPageSourcePDF.h"
#include "util/Log.h"

ImportPDFOperation::Quality ImportPDFOperation::qualityForLevel(int level) {
    switch (level) {
    case 1: return {144, 85};
    case 2: return {120, 65};
    case 3: return {70, 45};
    case 4: return {60, 25};
    default: return {144, 100};
    }
}

ImportPDFOperation::ImportPDFOperation(const QString& PDFPath, const QString& pageRange, int DPI, int quality)
    : iDPI(DPI), iQuality(quality), iPDFPath(PDFPath), iPageRange(pageRange) {}

ImportPDFOperation::~ImportPDFOperation() {
    if (iStarted && !iFinished) {
        cancel();
        waitUntilFinished();
    }
}

void ImportPDFOperation::start(QThreadPool* pool) {
    if (iStarted.exchange(true))
        return;
    pool->start([this] { run(); });
}

void ImportPDFOperation::run() {
    try {
        main();
    } catch (...) {
        spdlog::error("Run Import PDF Operation error: unexpected failure");
        discardResults();
        iErrorString = QStringLiteral("The import stopped because of an unexpected error.");
    }
    emit finished();
    QMutexLocker locker(&iLock);
    iFinished = true;
    iFinishedCondition.wakeAll();
}

void ImportPDFOperation::waitUntilFinished() {
    QMutexLocker locker(&iLock);
    while (!iFinished)
        iFinishedCondition.wait(&iLock);
}

void ImportPDFOperation::cancel() {
    // A finished import hands its page source on; stopping it then would empty the caller's book.
    if (iFinished)
        return;
    iCancelled = true;
    QMutexLocker locker(&iLock);
    if (iFlashPageSource)
        iFlashPageSource->setStop(true);
}

std::shared_ptr<FlashPageSource> ImportPDFOperation::flashPageSource() const {
    QMutexLocker locker(&iLock);
    return iFlashPageSource;
}

void ImportPDFOperation::main() {
    if (isCancelled())
        return;
    auto source = std::make_shared<FlashPageSourcePDF>(iPDFPath, iPageRange, iDPI, iQuality);
    source->setRenderEngineType(iRenderEngineType);
    source->setZoomPages(iZoomPages);
    {
        QMutexLocker locker(&iLock);
        iFlashPageSource = source;
        if (isCancelled())
            source->setStop(true);
    }
    importPages();
    if (!isCancelled() && iImportLinks)
        importLinksStage();
    if (!isCancelled() && iImportBookmarks)
        importOutlineStage();
    if (isCancelled()) {
        spdlog::debug("import pdf is cancelled");
        discardResults();
        iErrorString.clear();
    }
}

void ImportPDFOperation::importPages() {
    FlashPageSourcePDF& source = *iFlashPageSource;
    try {
        using Pass = void (FlashPageSource::*)();
        const std::pair<const char*, Pass> passes[] = {
            {"generate pages", &FlashPageSource::generatePages},
            {"generateNormalPages", &FlashPageSource::generateNormalPages},
            {"generateZoomedPages", &FlashPageSource::generateZoomedPages},
            {"generateThumbPages", &FlashPageSource::generateThumbPages},
            {"generatePhonePages", &FlashPageSource::generatePhonePages},
        };
        for (const auto& [name, pass] : passes) {
            spdlog::debug("before {}", name);
            (source.*pass)();
            spdlog::debug("after {}", name);
        }
    } catch (const std::exception& e) {
        spdlog::error("Run Import PDF Operation error,import pages:{}", e.what());
        iErrorString = QStringLiteral("The pages could not be imported: %1").arg(QString::fromUtf8(e.what()));
    }
    if (iErrorString.isEmpty() && !source.errorString().isEmpty())
        iErrorString = source.errorString();
    iWriteFailed = source.writeFailed();
    iFailedPages = source.failedPages();
    if (iErrorString.isEmpty() && !isCancelled() && source.pages().isEmpty())
        iErrorString = QStringLiteral("No page could be imported.");
    if (!iErrorString.isEmpty()) {
        QMutexLocker locker(&iLock);
        iFlashPageSource.reset();
    }
}

Poppler::Document* ImportPDFOperation::pdfDocument() const {
    return iFlashPageSource && iFlashPageSource->toPageConverter() ? iFlashPageSource->toPageConverter()->PDFDoc()
                                                                   : nullptr;
}

void ImportPDFOperation::importLinksStage() {
    auto links = std::make_shared<FlashPagesAnnotationsPDF>();
    try {
        // The page source's selection, so that link page indices match the book's pages.
        links->loadLinksFromPDF(pdfDocument(), iFlashPageSource ? iFlashPageSource->needToImportPages() : QList<int>());
        iFlashPagesAnnotation = links;
    } catch (const std::exception& e) {
        spdlog::error("Run Import PDF Operation error,import links:{}", e.what());
        iFlashPagesAnnotation.reset();
    }
}

void ImportPDFOperation::importOutlineStage() {
    auto outline = std::make_shared<FlashOutlinePDF>();
    try {
        outline->loadOutlineFromPDF(pdfDocument());
        iFlashOutline = outline;
    } catch (const std::exception& e) {
        spdlog::error("Run Import PDF Operation error,import outline:{}", e.what());
        iFlashOutline.reset();
    }
}

void ImportPDFOperation::discardResults() {
    QMutexLocker locker(&iLock);
    iFlashPageSource.reset();
    iFlashPagesAnnotation.reset();
    iFlashOutline.reset();
}
