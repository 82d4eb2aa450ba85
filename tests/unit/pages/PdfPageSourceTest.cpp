#include "PageTestSupport.h"
#include "PdfFixtures.h"
#include "pages/FlashPageSourcePDF.h"
#include "pages/PDFOpenResult.h"
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class PdfPageSource : public ::testing::Test {
protected:
    void SetUp() override { PdfFixtures::ensureGuiApp(); }   // a blank stand-in page writes its notice with a font

    QString qtPdf(const QString& name, const QList<QSizeF>& sizes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(PdfFixtures::makeQtPdf(path, sizes));
        return path;
    }
    QString handPdf(const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(PdfFixtures::writeFile(path, bytes));
        return path;
    }
    static void runPasses(FlashPageSource& source) {
        source.generatePages();
        source.generateNormalPages();
        source.generateThumbPages();
        source.generatePhonePages();
    }
    static QList<const FlashPageList*> lists(const FlashPageSource& source) {
        return {&source.pages(), &source.normalPages(), &source.thumbPages(), &source.phonePages()};
    }
    static QList<qsizetype> counts(const FlashPageSource& source) {
        QList<qsizetype> sizes;
        for (const FlashPageList* list : lists(source))
            sizes << list->size();
        return sizes;
    }
    // No record may point at a file that was never written.
    static void expectEveryFileExists(const FlashPageSource& source) {
        for (const FlashPageList* list : lists(source))
            for (const FlashPagePtr& page : *list)
                EXPECT_TRUE(QFileInfo::exists(page->pageFilePath())) << qPrintable(page->pageFilePath());
    }

    QTemporaryDir dir;
};

const QSizeF kPortrait(595, 842);
const QSizeF kLandscape(842, 595);

}

TEST_F(PdfPageSource, JpegEngineMakesEveryRenditionOfTheSelection) {
    auto owned = std::make_unique<FlashPageSourcePDF>(qtPdf("four.pdf", {kPortrait, kLandscape, kPortrait, kPortrait}),
                                                      "0,3,2,12", 70, 45);   // 0 and 12 are no pages
    FlashPageSourcePDF& source = *owned;
    source.setRenderEngineType(1);
    EXPECT_EQ(source.needToImportPages(), QList<int>({2, 3}));
    ProgressRecorder progress;
    runPasses(source);

    EXPECT_EQ(source.errorString(), QString());
    ASSERT_EQ(counts(source), QList<qsizetype>({2, 2, 2, 2}));
    expectEveryFileExists(source);
    QSet<QString> files;   // separate files, nothing overwritten
    for (const FlashPageList* list : {&source.pages(), &source.thumbPages(), &source.phonePages()})
        for (int i = 0; i < 2; ++i)
            files.insert((*list)[i]->pageFilePath() + QString::number((*list)[i]->pageIndex() - i));
    EXPECT_EQ(files.size(), 6);
    EXPECT_EQ(source.normalPages()[1]->pageFilePath(), source.pages()[1]->pageFilePath());
    // D = 70 gives a 700-pixel box; thumbnails are 180; a page rendered directly has the prepared size.
    EXPECT_EQ(imageSize(source.pages()[0]->pageFilePath()), QSize(700, 495));
    EXPECT_EQ(imageSize(source.pages()[1]->pageFilePath()), QSize(495, 700));
    EXPECT_EQ(imageSize(source.thumbPages()[1]->pageFilePath()), QSize(127, 180));
    EXPECT_EQ(imageSize(source.toPageConverter()->generatePageAsJPEG(2, 45, 700)), QSize(700, 495));

    EXPECT_EQ(progress.summary(),
              (QStringList{"geneatePage 1/2", "geneatePage 2/2", "geneateNormalPage 1/2", "geneateNormalPage 2/2",
                           "geneateThumbPage 1/2", "geneateThumbPage 2/2", "geneatePhonePage 1/2", "geneatePhonePage 2/2"}));
    runPasses(source);   // a second round makes and announces nothing
    EXPECT_EQ(counts(source), QList<qsizetype>({2, 2, 2, 2}));
    EXPECT_EQ(progress.entries().size(), 10);   // only the normal pass reports skipped pages
    const QString folder = source.toPageConverter()->converterWorkFolder();
    owned.reset();   // the page files go with the source
    EXPECT_FALSE(QFileInfo::exists(folder));
}

// Movies are named after the PDF page numbers; where pdf2swf makes none (it cannot read a file
// deleted after it was opened here) the open document still renders the page as a JPEG.
TEST_F(PdfPageSource, SwfEngineFilesMoviesNamedAfterThePdfPageNumbersOrJpegsWhenNoMovieAppears) {
    ASSERT_FALSE(PDFToSWFPageConverter::getPDF2swfLibPath().isEmpty()) << "build the pdf2swf target first";
    for (const bool deleted : {false, true}) {
        const QString pdf = qtPdf(deleted ? "gone.pdf" : "seven.pdf", QList<QSizeF>(7, QSizeF(300, 400)));
        FlashPageSourcePDF source(pdf, "5-7", 144, 85);
        if (deleted)
            ASSERT_TRUE(QFile::remove(pdf));
        runPasses(source);
        ASSERT_EQ(counts(source), QList<qsizetype>({3, 3, 3, 3})) << qPrintable(source.errorString());
        const QString folder = source.toPageConverter()->converterWorkFolder();
        for (int i = 0; i < 3; ++i) {
            EXPECT_EQ(source.pages()[i]->pageIndex(), i);
            EXPECT_EQ(source.pages()[i]->pageFilePath(), QDir(folder).filePath(QStringLiteral("%1.%2").arg(5 + i).arg(deleted ? "jpg" : "swf")));
            EXPECT_EQ(source.normalPages()[i]->isImagePage(), deleted);
            EXPECT_TRUE(source.thumbPages()[i]->isImagePage());
            EXPECT_EQ(imageSize(source.phonePages()[i]->pageFilePath()), QSize(1080, 1440));
        }
        expectEveryFileExists(source);
    }
}

TEST_F(PdfPageSource, NothingImportableGivesAReasonAndNoRecords) {
    const QByteArray good = PdfFixtures::handMadePdf({QSizeF(300, 300), QSizeF(300, 300)});
    PdfFixtures::HandPdfOptions locked;
    locked.userPassword = "secret";
    struct Case {
        QString path, range, reasonHas;
        PDFOpenResult::Status opened;   // what is known before the import
    };
    const QList<Case> cases = {
        {handPdf("two.pdf", good), "9-12", "9-12", PDFOpenResult::Ok},
        {handPdf("two-all.pdf", good), "abc", "selects no page", PDFOpenResult::Ok},
        {dir.filePath("missing.pdf"), "ALL", "does not exist", PDFOpenResult::Missing},
        {handPdf("garbage.pdf", "%PDF-1.4\n1 0 obj <<"), "1", "could not be opened", PDFOpenResult::Damaged},
        {handPdf("empty.pdf", ""), "ALL", "could not be opened", PDFOpenResult::Damaged},
        {handPdf("locked.pdf", PdfFixtures::handMadePdf({PdfFixtures::markedPage(QSizeF(300, 300))}, locked)), "ALL",
         "password", PDFOpenResult::Locked},
    };
    for (const Case& c : cases) {
        const PDFOpenResult opened = PDFOpenResult::open(c.path);
        EXPECT_EQ(opened.status(), c.opened) << qPrintable(c.path);
        EXPECT_EQ(opened.errorString().isEmpty(), opened.ok()) << qPrintable(c.path);
        EXPECT_EQ(opened.firstPageSize(), opened.ok() ? QSizeF(300, 300) : QSizeF());
        for (int engine : {0, 1}) {
            FlashPageSourcePDF source(c.path, c.range, 144, 100);
            source.setRenderEngineType(engine);
            runPasses(source);
            EXPECT_TRUE(source.errorString().contains(c.reasonHas)) << qPrintable(source.errorString());
            EXPECT_EQ(counts(source), QList<qsizetype>({0, 0, 0, 0})) << qPrintable(c.path);
        }
    }
}

TEST_F(PdfPageSource, TruncatedFilesNeverLeaveRecordsOfMissingFiles) {
    const QByteArray whole = PdfFixtures::handMadePdf({QSizeF(300, 300), QSizeF(300, 400), QSizeF(200, 300)});
    for (double kept : {0.2, 0.5, 0.8, 0.97}) {
        FlashPageSourcePDF source(handPdf("cut.pdf", PdfFixtures::truncated(whole, kept)), "ALL", 60, 50);
        source.setRenderEngineType(1);
        runPasses(source);
        expectEveryFileExists(source);
        if (source.pages().isEmpty())
            EXPECT_FALSE(source.errorString().isEmpty()) << kept;
    }
}

// The document is encrypted with an owner password only: it still imports, decrypted.
TEST_F(PdfPageSource, RotatedAndCroppedPagesAreRenderedAsShown) {
    using namespace PdfFixtures;
    HandPdfOptions ownerOnly;
    ownerOnly.ownerPassword = "boss";
    HandPage rotated = markedPage(QSizeF(200, 100), "R", 90);
    HandPage cropped = markedPage(QSizeF(400, 400));
    cropped.cropBox = QRectF(0, 0, 100, 100);
    HandPage offset = markedPage(QSizeF(400, 400));
    offset.cropBox = QRectF(300, 300, 100, 100);
    FlashPageSourcePDF source(handPdf("shapes.pdf", handMadePdf({markedPage(QSizeF(50, 50)), rotated, cropped, offset}, ownerOnly)),
                              "2-4", 18, 100);
    source.setRenderEngineType(1);
    runPasses(source);
    ASSERT_EQ(source.pages().size(), 3);
    // Every rendition records the PDF page and the size as shown, in points.
    const QList<QSizeF> shown = {QSizeF(100, 200), QSizeF(100, 100), QSizeF(100, 100)};
    for (const FlashPageList* list : lists(source))
        for (int i = 0; i < 3; ++i)
            EXPECT_EQ(std::make_pair((*list)[i]->pdfPage(), (*list)[i]->shownSize()), std::make_pair(i + 2, shown[i]));
    EXPECT_EQ(imageSize(source.pages()[0]->pageFilePath()), QSize(90, 180));
    const QImage crop(source.pages()[1]->pageFilePath());
    ASSERT_EQ(crop.size(), QSize(180, 180));
    const QColor mark = crop.pixelColor(20, 160);   // the red mark fills the bottom-left 40%
    EXPECT_TRUE(mark.red() > 200 && mark.green() < 60);   // decrypted and drawn
    EXPECT_GT(crop.pixelColor(160, 20).green(), 200);
    const QColor farCorner = QImage(source.pages()[2]->pageFilePath()).pixelColor(20, 160);
    EXPECT_GT(farCorner.green(), 200);   // the offset crop box does not show the mark
}

TEST_F(PdfPageSource, AbsurdResolutionsAreCappedInsteadOfExhaustingMemory) {
    FlashPageSourcePDF source(handPdf("one.pdf", PdfFixtures::handMadePdf({QSizeF(300, 150)})), "1", 100000, 10);
    EXPECT_EQ(PDFToSWFPageConverter::renderPage(source.toPageConverter()->PDFDoc(), 1, source.pageBoxSize()).size(),
              QSize(8192, 4096));
}

TEST_F(PdfPageSource, APageThatCannotBeRenderedBecomesABlankPageWithANotice) {
    for (int broken : {1, 3}) {
        for (int engine : {0, 1}) {
            FlashPageSourcePDF source(handPdf("gap.pdf", PdfFixtures::handMadePdf({kPortrait, kPortrait, kLandscape}, broken)), "ALL", 60, 50);
            source.setRenderEngineType(engine);
            runPasses(source);
            SCOPED_TRACE(QStringLiteral("page %1, engine %2").arg(broken).arg(engine).toStdString());
            EXPECT_TRUE(source.errorString().isEmpty()) << qPrintable(source.errorString());
            EXPECT_EQ(source.failedPages().size(), 1);
            ASSERT_EQ(counts(source), QList<qsizetype>({3, 3, 3, 3}));
            expectEveryFileExists(source);
            const QImage blank(source.phonePages()[source.failedPages().value(0) - 1]->pageFilePath());
            EXPECT_EQ(blank.pixelColor(2, 2), QColor(Qt::white));
        }
    }
}
