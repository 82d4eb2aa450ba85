#pragma once
#include <QList>
#include <QMutex>
#include <QString>
#include <QStringList>
#include <QWaitCondition>
#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace Poppler {
class Document;
}
class PageRasterizer;

// Works on the pages of a PDF ahead of the passes that file them: a few worker threads, each with
// its own Poppler::Document and PageRasterizer, run a job per page number and keep its result (a list of file
// paths) until the pass asks for it. Results are handed out in any order the caller likes.
class PageRenderPipeline {
public:
    // Runs on a worker thread with the worker's own document and rasterizer. Workers that cannot
    // open the file (it was moved or deleted meanwhile) skip their pages.
    using Job = std::function<QStringList(int pageNumber, Poppler::Document* doc, const PageRasterizer& rasterizer)>;

    PageRenderPipeline(const QString& pdfPath, const QList<int>& pageNumbers, Job job,
                       const std::atomic<bool>* stop, int workerCount);
    ~PageRenderPipeline();   // cancels and waits for the workers
    PageRenderPipeline(const PageRenderPipeline&) = delete;
    PageRenderPipeline& operator=(const PageRenderPipeline&) = delete;

    bool covers(int pageNumber) const { return iPageNumbers.contains(pageNumber); }
    // Blocks until the page's job ran; nothing when it was skipped (stop, cancel, no document).
    std::optional<QStringList> waitFor(int pageNumber);
    // Workers finish the page in hand and take no more.
    void cancel();

    static int defaultWorkerCount();

private:
    void work();
    bool stopped() const;

    // Read by every worker at once, so never written: a const list is never copied on reading,
    // while a non-const one shared with the caller would be copied by each worker's first read, all
    // at the same moment, freeing the caller's numbers under it.
    const QString iPDFPath;
    const QList<int> iPageNumbers;
    Job iJob;
    const std::atomic<bool>* iStop;
    std::atomic<bool> iCancelled{false};
    std::atomic<qsizetype> iNext{0};

    QMutex iLock;
    QWaitCondition iPageDone;
    QList<std::optional<QStringList>> iResults;  // by position in iPageNumbers
    QList<bool> iDone;
    std::vector<std::thread> iWorkers;
};
