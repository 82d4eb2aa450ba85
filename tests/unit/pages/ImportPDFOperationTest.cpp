#include "PageTestSupport.h"
#include "PdfFixtures.h"
#include "annotations/FlashPagesAnnotations.h"
#include "outline/FlashOutline.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/ImportPDFOperation.h"
#include <QTemporaryDir>
#include <QThreadPool>
#include <atomic>
#include <gtest/gtest.h>

namespace {

class ImportOperation : public ::testing::Test {
protected:
    void SetUp() override {
        pdf = dir.filePath("book.pdf");
        ASSERT_TRUE(PdfFixtures::makeQtPdf(pdf, 5, QSizeF(300, 420)));
    }
    // Runs the operation on the pool and counts its finished signals.
    static int runToEnd(ImportPDFOperation& operation) {
        std::atomic<int> finished{0};
        QObject::connect(&operation, &ImportPDFOperation::finished, [&] { ++finished; });
        operation.start();
        operation.waitUntilFinished();
        return finished;
    }
    QTemporaryDir dir;
    QString pdf;
};

}

// The range is imported with its links and bookmarks (page 40 is not in the book); a cancel
// after the end changes nothing.
TEST_F(ImportOperation, ImportsOnAWorkerThreadAndALateCancelKeepsTheResult) {
    using namespace PdfFixtures;
    HandPdfOptions options;
    options.extend = [](PdfObjectWriter& w, const QList<int>& ids, QList<HandPage>& pages) {
        pages[2].extraEntries = annots(w, {linkToPage(QRectF(10, 10, 50, 50), ids[3])});
        return outlines(w, ids, {{"Chapter", 3, {}}});
    };
    ASSERT_TRUE(writeFile(pdf, handMadePdf(QList<HandPage>(5, markedPage(QSizeF(200, 300))), options)));
    std::shared_ptr<FlashPageSource> source;
    {
        ImportPDFOperation operation(pdf, "3-4,40", 60, 25);
        operation.setRenderEngineType(1);
        operation.setImportLinks(true);
        operation.setImportBookmarks(true);
        EXPECT_EQ(runToEnd(operation), 1);
        EXPECT_EQ(operation.errorString(), QString());
        source = operation.flashPageSource();
        ASSERT_TRUE(source && operation.flashPagesAnnotation() && operation.flashOutline());
        EXPECT_EQ(source->phonePages().size(), 2);   // always made
        const pugi::xml_node pagesAnnos = operation.flashPagesAnnotation()->pagesAnnotationsNode();
        EXPECT_TRUE(pagesAnnos.find_child_by_attribute("pageAnnos", "pageIndex", "1").child("anno"));
        EXPECT_EQ(operation.flashOutline()->items().size(), 1);
        operation.cancel();
    }
    EXPECT_FALSE(source->stop());
    EXPECT_TRUE(source->getThumbPageAtIndex(source->pages().first()->pageIndex()));
}

TEST_F(ImportOperation, CancelBeforeOrDuringTheImportDiscardsEverything) {
    ImportPDFOperation before(pdf, "ALL", 60, 25);
    before.cancel();
    runToEnd(before);
    EXPECT_FALSE(before.flashPageSource());
    EXPECT_TRUE(before.isCancelled());

    ImportPDFOperation during(pdf, "ALL", 144, 100);
    during.setRenderEngineType(1);
    during.setImportBookmarks(true);
    ProgressRecorder progress([&](const ProgressRecorder::Entry& e) {
        if (e.pageIndex == 1)
            during.cancel();
    });
    runToEnd(during);
    EXPECT_FALSE(during.flashPageSource());
    EXPECT_FALSE(during.flashOutline());
    EXPECT_EQ(during.errorString(), QString());
    EXPECT_LE(progress.entries().size(), 2);
}

TEST_F(ImportOperation, DestroyingARunningOperationWaitsForItsWorker) {
    std::atomic<bool> finished{false};
    ProgressRecorder progress;
    auto operation = std::make_unique<ImportPDFOperation>(pdf, "ALL", 144, 100);
    operation->setRenderEngineType(1);
    QObject::connect(operation.get(), &ImportPDFOperation::finished, [&] { finished = true; });
    operation->start();
    operation.reset();   // cancels and waits; the worker must not touch a destroyed object
    EXPECT_TRUE(finished);
    const auto reported = progress.entries().size();
    QThreadPool::globalInstance()->waitForDone();
    EXPECT_EQ(progress.entries().size(), reported);   // nothing more is announced afterwards
}
