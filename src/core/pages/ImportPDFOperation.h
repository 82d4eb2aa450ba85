#pragma once
#include <QList>
#include <QMutex>
#include <QObject>
#include <QString>
#include <QThreadPool>
#include <QWaitCondition>
#include <atomic>
#include <memory>

class FlashPageSource;
class FlashPageSourcePDF;
class FlashPagesAnnotations;
class FlashOutline;
namespace Poppler {
class Document;
}

// Imports a PDF in the background: the page passes, then (when asked) links and bookmarks.
// Start it with start(); `finished` is emitted from the worker thread when it is done (connect
// with a receiver context to get it on that receiver's thread). Read the results afterwards.
// Destroying a running operation cancels it and waits for the page in progress.
class ImportPDFOperation : public QObject {
    Q_OBJECT
public:
    struct Quality {
        int DPI;
        int quality;
    };
    // The import dialog's quality levels 0..4; anything else is level 0.
    static Quality qualityForLevel(int level);

    ImportPDFOperation(const QString& PDFPath, const QString& pageRange, int DPI, int quality);
    ~ImportPDFOperation() override;

    void setImportLinks(bool importLinks) { iImportLinks = importLinks; }
    bool importLinks() const { return iImportLinks; }
    void setImportBookmarks(bool importBookmarks) { iImportBookmarks = importBookmarks; }
    bool importBookmarks() const { return iImportBookmarks; }
    void setRenderEngineType(int type) { iRenderEngineType = type; }   // 0 SWF, 1 JPEG
    // The zoom rendition of every page (twice its pixels); on unless turned off.
    void setZoomPages(bool zoomPages) { iZoomPages = zoomPages; }
    bool zoomPages() const { return iZoomPages; }
    int renderEngineType() const { return iRenderEngineType; }

    // Queues the job on the pool (the global one by default).
    void start(QThreadPool* pool = QThreadPool::globalInstance());
    // The job itself; start() runs it on a worker thread.
    void main();
    // Raises the page source's stop flag; the page in progress is finished, then all is discarded.
    void cancel();
    bool isCancelled() const { return iCancelled.load(); }
    bool isFinished() const { return iFinished.load(); }
    // Blocks until the job ran (for callers without an event loop).
    void waitUntilFinished();

    std::shared_ptr<FlashPageSource> flashPageSource() const;
    std::shared_ptr<FlashPagesAnnotations> flashPagesAnnotation() const { return iFlashPagesAnnotation; }
    std::shared_ptr<FlashOutline> flashOutline() const { return iFlashOutline; }
    // Why there are no pages, in words the user can read; empty after a good or cancelled import.
    QString errorString() const { return iErrorString; }
    // The failure is a page file that could not be written (a full disk).
    bool writeFailed() const { return iWriteFailed; }
    // PDF page numbers of pages that did not render: the book has blank pages with a notice there.
    QList<int> failedPages() const { return iFailedPages; }

signals:
    void finished();

private:
    void run();
    void importPages();
    Poppler::Document* pdfDocument() const;
    void importLinksStage();
    void importOutlineStage();
    void discardResults();

    std::shared_ptr<FlashPageSourcePDF> iFlashPageSource;
    std::shared_ptr<FlashPagesAnnotations> iFlashPagesAnnotation;
    std::shared_ptr<FlashOutline> iFlashOutline;
    int iDPI;
    int iQuality;
    QString iPDFPath;
    QString iPageRange;
    bool iImportBookmarks = false;
    bool iImportLinks = false;
    int iRenderEngineType = 0;
    bool iZoomPages = true;
    QString iErrorString;
    bool iWriteFailed = false;
    QList<int> iFailedPages;

    std::atomic<bool> iStarted{false};
    std::atomic<bool> iCancelled{false};
    std::atomic<bool> iFinished{false};
    mutable QMutex iLock;              // guards the results against cancel() and readers
    QWaitCondition iFinishedCondition;
};
