#include "pages/PageRenderPipeline.h"
#include "pages/PageRasterizer.h"
#include <QThread>
#include <poppler-qt6.h>

PageRenderPipeline::PageRenderPipeline(const QString& pdfPath, const QList<int>& pageNumbers, Job job,
                                       const std::atomic<bool>* stop, int workerCount)
    : iPDFPath(pdfPath), iPageNumbers(pageNumbers), iJob(std::move(job)), iStop(stop),
      iResults(pageNumbers.size()), iDone(pageNumbers.size(), false) {
    const int count = qBound(1, workerCount, qMax<int>(1, pageNumbers.size()));
    for (int i = 0; i < count; ++i)
        iWorkers.emplace_back([this] { work(); });
}

PageRenderPipeline::~PageRenderPipeline() {
    cancel();
    for (std::thread& worker : iWorkers)
        worker.join();
}

// One worker more than there are cores keeps every core busy while a worker waits; on 2 cores it
// takes a tenth off an import without the zoom pictures and costs one page's pictures of memory.
int PageRenderPipeline::defaultWorkerCount() {
    return qMax(1, QThread::idealThreadCount()) + 1;
}

void PageRenderPipeline::cancel() {
    iCancelled = true;
}

bool PageRenderPipeline::stopped() const {
    return iCancelled.load() || (iStop && iStop->load());
}

void PageRenderPipeline::work() {
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(iPDFPath);
    if (doc) {
        doc->setRenderHint(Poppler::Document::Antialiasing);
        doc->setRenderHint(Poppler::Document::TextAntialiasing);
    }
    const PageRasterizer rasterizer(iPDFPath);
    for (qsizetype position = iNext++; position < iPageNumbers.size(); position = iNext++) {
        std::optional<QStringList> result;   // none: the caller makes the page itself
        if (!stopped() && doc) {
            try {
                result = iJob(iPageNumbers[position], doc.get(), rasterizer);
            } catch (...) {
                result = QStringList();   // a failed page: the pass sees no file
            }
        }
        QMutexLocker locker(&iLock);
        iResults[position] = result;
        iDone[position] = true;
        iPageDone.wakeAll();
    }
}

std::optional<QStringList> PageRenderPipeline::waitFor(int pageNumber) {
    const qsizetype position = iPageNumbers.indexOf(pageNumber);
    if (position < 0)
        return std::nullopt;
    QMutexLocker locker(&iLock);
    while (!iDone[position])
        iPageDone.wait(&iLock);
    return iResults[position];
}
