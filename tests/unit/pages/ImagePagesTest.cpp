#include "pages/FlashPageImage.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/ImageUtility.h"
#include "TestSupport.h"
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class ImagePages : public ::testing::Test {
protected:
    QString image(const QString& name, QSize size, QColor color = Qt::darkCyan) {
        QImage img(size, QImage::Format_RGB32);
        img.fill(color);
        const QString path = dir.filePath(name);
        EXPECT_TRUE(img.save(path));
        return path;
    }
    static QSize sizeOf(const QString& path) { return QImage(path).size(); }
    QTemporaryDir dir;
};

}

TEST_F(ImagePages, CopiesFollowTheBoxRuleAndFitIntoMaximumNeverEnlarges) {
    // The longer side becomes the box, enlarging if need be.
    const FlashPageImage page(image("small.png", QSize(100, 50)), 3);
    const FlashPagePtr phone = page.copyAsImgPage(1440, 100);
    ASSERT_TRUE(phone);
    EXPECT_EQ(phone->pageIndex(), 3);
    EXPECT_EQ(QFileInfo(phone->pageFilePath()).absolutePath(), QFileInfo(FlashPage::flashPageTempFolder()).absoluteFilePath());
    EXPECT_EQ(sizeOf(phone->pageFilePath()), QSize(1440, 720));
    EXPECT_EQ(sizeOf(FlashPageImage(image("tall.png", QSize(500, 1000)), 1).copyAsImgPage(180, 100)->pageFilePath()), QSize(90, 180));

    const QString out = dir.filePath("fit.jpg");
    const QList<QPair<QSize, QSize>> fits = {{{100, 50}, {100, 50}}, {{400, 200}, {180, 90}}, {{200, 400}, {90, 180}}};
    for (const auto& [from, to] : fits) {
        ASSERT_TRUE(ImageUtility::scaleAndSaveAsJPEG(image("a.png", from), 180, 180, 0.9f, out));
        EXPECT_EQ(sizeOf(out), to);
    }
    const QString inPlace = image("d.jpg", QSize(720, 360));
    ASSERT_TRUE(ImageUtility::scaleAndSaveAsJPEG(inPlace, 180, 180, 90.0f, inPlace));
    EXPECT_EQ(sizeOf(inPlace), QSize(180, 90));
}

TEST_F(ImagePages, ShrinkingAveragesAndTransparencyBecomesWhite) {
    QImage checker(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x)
            checker.setPixel(x, y, (x + y) % 2 ? 0xFFFFFFFF : 0xFF000000);
    const QImage small = ImageUtility::scaledImage(checker, QSize(100, 100));
    for (int y = 5; y < 95; y += 7)
        for (int x = 5; x < 95; x += 7)
            EXPECT_NEAR(qGray(small.pixel(x, y)), 128, 24) << x << "," << y;

    QImage clear(40, 40, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(clear.save(dir.filePath("clear.png")));
    FlashPageImage::resizeImageFile(dir.filePath("clear.png"), dir.filePath("clear.jpg"), 180, 100);
    EXPECT_GT(qGray(QImage(dir.filePath("clear.jpg")).pixel(90, 90)), 245);
}

TEST_F(ImagePages, QualityIsClampedAndUndecodableSourcesWriteNothing) {
    const QString source = image("q.png", QSize(300, 200), QColor(120, 40, 200));
    auto jpegAt = [&](float quality) {
        const QString out = dir.filePath(QStringLiteral("q%1.jpg").arg(quality));
        EXPECT_TRUE(ImageUtility::scaleAndSaveAsJPEG(source, 180, 180, quality, out));
        return TestSupport::readFile(out);
    };
    EXPECT_EQ(jpegAt(-1.0f), jpegAt(0.85f));   // out of range: the default
    EXPECT_EQ(jpegAt(90.0f), jpegAt(1.0f));    // above 1: the best
    EXPECT_NE(jpegAt(0.5f), jpegAt(1.0f));

    const QString bad = dir.filePath("bad.png"), out = dir.filePath("out.jpg");
    ASSERT_TRUE(TestSupport::writeFile(bad, "not an image"));
    FlashPageImage::resizeImageFile(bad, out, 180, 100);
    EXPECT_FALSE(ImageUtility::scaleAndSaveAsJPEG(bad, 180, 180, 0.9f, out));
    EXPECT_FALSE(QFileInfo::exists(out));
}

TEST_F(ImagePages, ImageSourceMakesEachRenditionOnce) {
    FlashPageSourceImg source;
    for (int i = 0; i < 3; ++i)
        source.addImgPageFromFile(image(QStringLiteral("%1.png").arg(i), QSize(400 + 100 * i, 300)));
    EXPECT_EQ(source.pages()[2]->shownSize(), QSizeF(600, 300));
    EXPECT_EQ(source.pages()[2]->pdfPage(), 0);
    source.generatePages();
    source.generateNormalPages();
    source.generateThumbPages();
    const QString firstThumb = source.thumbPages()[0]->pageFilePath();
    source.generateThumbPages();
    source.generatePhonePages();
    ASSERT_EQ(source.thumbPages().size(), 3);
    ASSERT_EQ(source.phonePages().size(), 3);
    EXPECT_EQ(source.thumbPages()[0]->pageFilePath(), firstThumb);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(source.normalPages()[i]->pageFilePath(), source.pages()[i]->pageFilePath());
        EXPECT_NE(source.normalPages()[i], source.pages()[i]);   // distinct records
        EXPECT_EQ(source.getThumbPageAtIndex(i + 1), source.thumbPages()[i]);   // image pages count from 1
        EXPECT_EQ(sizeOf(source.phonePages()[i]->pageFilePath()).width(), 1440);
        EXPECT_EQ(source.phonePages()[i]->shownSize(), source.pages()[i]->shownSize());
    }
    EXPECT_EQ(sizeOf(source.thumbPages()[0]->pageFilePath()), QSize(180, 135));
}
