#include "pages/PageRenderPipeline.h"
#include "pages/PDFToSWFPageConverter.h"
#include "PdfFixtures.h"
#include "TestSupport.h"
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <poppler-qt6.h>

// The page numbers and renditions the caller hands over are shared with the workers, which read
// them all at once. A read that copies a shared list (a non-const Qt accessor) lets two workers
// copy it at the same moment and free the caller's list under it: garbage page numbers, or a crash
// one import in thirty. So after the work is done the caller's lists must still be shared, never
// copied by a reader.
TEST(PageRenderPipeline, WorkersReadTheSharedListsWithoutCopyingThem) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath("two.pdf");
    ASSERT_TRUE(TestSupport::writeFile(pdf, PdfFixtures::handMadePdf({QSizeF(200, 300), QSizeF(300, 200)})));
    const QList<int> numbers{1, 2};

    QList<int> pipelineNumbers{1, 2};   // shared with the pipeline alone
    PageRenderPipeline pipeline(
        pdf, pipelineNumbers, [](int n, Poppler::Document*, const PageRasterizer&) { return QStringList{QString::number(n)}; },
        nullptr, 2);
    for (int n : numbers)
        EXPECT_EQ(pipeline.waitFor(n), QStringList{QString::number(n)});
    EXPECT_FALSE(pipelineNumbers.isDetached());

    PDFToSWFPageConverter converter(pdf, std::shared_ptr<Poppler::Document>(Poppler::Document::load(pdf)), 80, 72);
    const QList<PDFToSWFPageConverter::JpegRendition> renditions{{80, 300}, {60, 100}};
    QList<int> converterNumbers{1, 2};
    converter.prepareRenditions(converterNumbers, false, renditions, false, nullptr);
    for (int n : numbers)
        EXPECT_TRUE(QFileInfo::exists(converter.generatePageAsJPEG(n, 60, 100))) << n;
    EXPECT_FALSE(renditions.isDetached());
    EXPECT_FALSE(converterNumbers.isDetached());
}
