#include "pages/FlashPageImage.h"
#include "pages/FlashPageSourceImg.h"
#include "pages/ImageUtility.h"
#include "TestSupport.h"
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <turbojpeg.h>

namespace {

class ImagePages : public ::testing::Test {
protected:
    QString image(const QString& name, QSize size, QColor color = Qt::darkCyan) {
        EXPECT_TRUE(TestSupport::writeImage(dir.filePath(name), size, color));
        return dir.filePath(name);
    }
    static QSize sizeOf(const QString& path) { return QImage(path).size(); }
    QTemporaryDir dir;
};

}

// A page copy's longer side becomes the box, enlarging if need be; a JPEG made to fit a box is
// never enlarged, also when written over its source. Out-of-range qualities are clamped.
TEST_F(ImagePages, CopiesFollowTheBoxRuleAndFittedJpegsNeverEnlarge) {
    const FlashPagePtr phone = FlashPageImage(image("small.png", QSize(100, 50)), 3).copyAsImgPage(1440, 100);
    ASSERT_TRUE(phone);
    EXPECT_EQ(phone->pageIndex(), 3);
    EXPECT_EQ(QFileInfo(phone->pageFilePath()).absolutePath(), QFileInfo(FlashPage::flashPageTempFolder()).absoluteFilePath());
    EXPECT_EQ(sizeOf(phone->pageFilePath()), QSize(1440, 720));
    EXPECT_EQ(sizeOf(FlashPageImage(image("tall.png", QSize(500, 1000)), 1).copyAsImgPage(180, 100)->pageFilePath()), QSize(90, 180));

    const QString out = dir.filePath("fit.jpg");
    ASSERT_TRUE(ImageUtility::scaleAndSaveAsJPEG(image("a.png", QSize(100, 50)), 180, 180, 0.9f, out));
    EXPECT_EQ(sizeOf(out), QSize(100, 50));
    const QString inPlace = image("d.jpg", QSize(720, 360));
    ASSERT_TRUE(ImageUtility::scaleAndSaveAsJPEG(inPlace, 180, 180, 90.0f, inPlace));
    EXPECT_EQ(sizeOf(inPlace), QSize(180, 90));

    const QString source = image("q.png", QSize(300, 200), QColor(120, 40, 200));
    const auto jpegAt = [&](float quality) {
        EXPECT_TRUE(ImageUtility::scaleAndSaveAsJPEG(source, 180, 180, quality, out));
        return TestSupport::readFile(out);
    };
    EXPECT_EQ(jpegAt(-1.0f), jpegAt(0.85f));   // out of range: the default
    EXPECT_EQ(jpegAt(90.0f), jpegAt(1.0f));    // above 1: the best
    EXPECT_NE(jpegAt(0.5f), jpegAt(1.0f));
}

// Shrinking averages pixels, transparency becomes white, and an undecodable source writes nothing.
TEST_F(ImagePages, ShrinkingAveragesAndOnlyDecodableSourcesAreWritten) {
    QImage checker(400, 400, QImage::Format_RGB32);
    for (int y = 0; y < 400; ++y)
        for (int x = 0; x < 400; ++x) {
            const int level = 85 * (x % 2 * 2 + y % 2);   // 0, 85, 170 and 255 in every 2 x 2 block
            checker.setPixel(x, y, qRgb(level, level, level));
        }
    for (const QImage& picture : {checker, checker.convertToFormat(QImage::Format_Grayscale8)}) {
        const QImage small = ImageUtility::scaledImage(picture, QSize(100, 100));
        for (int y = 5; y < 95; y += 7)
            for (int x = 5; x < 95; x += 7)
                EXPECT_NEAR(qGray(small.pixel(x, y)), 128, 1) << picture.format() << ": " << x << "," << y;
    }

    QImage clear(40, 40, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    ASSERT_TRUE(clear.save(dir.filePath("clear.png")));
    const QString out = dir.filePath("out.jpg");
    FlashPageImage::resizeImageFile(dir.filePath("clear.png"), out, 180, 100);
    EXPECT_GT(qGray(QImage(out).pixel(90, 90)), 245);

    QFile::remove(out);
    ASSERT_TRUE(TestSupport::writeFile(dir.filePath("bad.png"), "not an image"));
    FlashPageImage::resizeImageFile(dir.filePath("bad.png"), out, 180, 100);
    EXPECT_FALSE(ImageUtility::scaleAndSaveAsJPEG(dir.filePath("bad.png"), 180, 180, 0.9f, out));
    EXPECT_FALSE(QFileInfo::exists(out));
}

// A page whose every pixel is gray is written with one channel, every row in its place, and its half
// is gray; one coloured pixel, on a row the quick look skips (found halfway through the gray pass)
// or on one it sees, keeps all three channels in both.
TEST_F(ImagePages, OnlyWhollyGrayPicturesLoseTheirColourChannels) {
    QImage page(334, 100, QImage::Format_RGB32);   // rows padded to whole blocks in gray
    const auto level = [](int x, int y) { return (x / 3 + y * 2) % 256; };
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            page.setPixel(x, y, qRgb(level(x, y), level(x, y), level(x, y)));
    const QString out = dir.filePath("gray.jpg");
    QImage half;
    const auto decoded = [&] {
        EXPECT_TRUE(ImageUtility::saveJPEG(page, out, 100, &half));
        EXPECT_EQ(TestSupport::readFile(out), ImageUtility::encodeJPEG(page, 100));
        return QImage(out);
    };
    EXPECT_EQ(decoded().format(), QImage::Format_Grayscale8);
    EXPECT_EQ(half.format(), QImage::Format_Grayscale8);
    EXPECT_EQ(half.pixel(166, 49), ImageUtility::scaledImage(page, QSize(167, 50)).pixel(166, 49));
    for (const QPoint at : {QPoint(0, 0), QPoint(170, 51), QPoint(333, 99)})
        EXPECT_NEAR(qGray(decoded().pixel(at)), level(at.x(), at.y()), 2) << at.x() << "," << at.y();
    for (const QPoint at : {QPoint(333, 99), QPoint(0, 32)}) {
        const QRgb gray = page.pixel(at);
        page.setPixel(at, qRgb(qRed(gray), qGreen(gray) + 1, qBlue(gray)));
        EXPECT_NE(decoded().format(), QImage::Format_Grayscale8);
        EXPECT_EQ(half, ImageUtility::scaledImage(page, QSize(167, 50)));
        EXPECT_NEAR(qGray(decoded().pixel(10, 10)), level(10, 10), 2);
        page.setPixel(at, gray);
    }
}

// Our encoder's bytes are the library's own encoder's, for pictures whose flat blocks (paper, gray,
// a saturated colour whose blue-difference plane equals the paper's light) stand among busy ones.
TEST_F(ImagePages, EncodedPicturesAreTheLibrarysOwnBytes) {
    QImage colour(203, 141, QImage::Format_RGB32);   // neither side a whole number of blocks
    colour.fill(Qt::white);
    for (int y = 0; y < colour.height(); ++y)
        for (int x = 0; x < colour.width(); ++x) {
            if (x >= 64 && x < 128 && y < 64)
                colour.setPixel(x, y, qRgb(0, 0, 255));
            else if (y >= 64 && y < 96)
                colour.setPixel(x, y, x < 100 ? qRgb(100, 100, 100) : qRgb(x, (x * y) % 256, (x ^ y) % 256));
        }
    const auto libraryBytes = [](const QImage& picture, int quality) {
        tjhandle handle = tjInitCompress();
        unsigned char* bytes = nullptr;
        unsigned long length = 0;
        const bool gray = picture.format() == QImage::Format_Grayscale8;
        tjCompress2(handle, picture.constBits(), picture.width(), int(picture.bytesPerLine()), picture.height(),
                    gray ? TJPF_GRAY : TJPF_BGRX, &bytes, &length, gray ? TJSAMP_GRAY : TJSAMP_420, quality, TJFLAG_ACCURATEDCT);
        const QByteArray jpeg(reinterpret_cast<const char*>(bytes), qsizetype(length));
        tjFree(bytes);
        tjDestroy(handle);
        return jpeg;
    };
    for (const QImage& picture : {colour, colour.convertToFormat(QImage::Format_Grayscale8)})
        for (int quality : {100, 75}) {
            const QByteArray ours = ImageUtility::encodeJPEG(picture, quality);
            EXPECT_FALSE(ours.isEmpty());
            EXPECT_EQ(ours, libraryBytes(picture, quality)) << picture.format() << " quality " << quality;
        }
}

// A page saved with its half made on the way: the half is the one scaling makes, and the JPEG keeps
// every row, the last band of blocks included, for colour and gray pictures.
TEST_F(ImagePages, SavingAPageMakesItsHalfOnTheWay) {
    QImage colour(334, 102, QImage::Format_RGB32);   // neither side a whole number of blocks
    for (int y = 0; y < colour.height(); ++y)
        for (int x = 0; x < colour.width(); ++x)
            colour.setPixel(x, y, qRgb(x * 255 / 333, y * 255 / 101, 128));
    const QString out = dir.filePath("page.jpg");
    for (const QImage& picture : {colour, colour.convertToFormat(QImage::Format_Grayscale8)}) {
        QImage half;
        ASSERT_TRUE(ImageUtility::saveJPEG(picture, out, 100, &half));
        EXPECT_EQ(half, ImageUtility::scaledImage(picture, QSize(167, 51))) << picture.format();
        const QImage decoded(out);
        for (const QPoint at : {QPoint(0, 0), QPoint(333, 50), QPoint(170, 101), QPoint(333, 101)}) {
            const QRgb got = decoded.pixel(at), want = picture.pixel(at);
            const int off = qMax(qAbs(qRed(got) - qRed(want)), qMax(qAbs(qGreen(got) - qGreen(want)), qAbs(qBlue(got) - qBlue(want))));
            EXPECT_LE(off, 4) << picture.format() << " " << at.x() << "," << at.y();
        }
    }
    QImage odd = colour.copy(0, 0, 333, 101), half;
    ASSERT_TRUE(ImageUtility::saveJPEG(odd, out, 100, &half));
    EXPECT_TRUE(half.isNull());
}

// Renditions are distinct records, made once; image pages count from 1.
TEST_F(ImagePages, ImageSourceMakesEachRenditionOnce) {
    FlashPageSourceImg source;
    for (int i = 0; i < 3; ++i)
        source.addImgPageFromFile(image(QStringLiteral("%1.png").arg(i), QSize(400 + 100 * i, 300)));
    EXPECT_EQ(source.pages()[2]->shownSize(), QSizeF(600, 300));
    source.generateNormalPages();
    source.generateThumbPages();
    const QString firstThumb = source.thumbPages()[0]->pageFilePath();
    source.generateThumbPages();
    source.generatePhonePages();
    ASSERT_EQ(source.thumbPages().size() + source.phonePages().size(), 6);
    EXPECT_EQ(source.thumbPages()[0]->pageFilePath(), firstThumb);
    EXPECT_EQ(sizeOf(firstThumb), QSize(180, 135));
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(source.normalPages()[i]->pageFilePath(), source.pages()[i]->pageFilePath());
        EXPECT_NE(source.normalPages()[i], source.pages()[i]);
        EXPECT_EQ(source.getThumbPageAtIndex(i + 1), source.thumbPages()[i]);
        EXPECT_EQ(sizeOf(source.phonePages()[i]->pageFilePath()).width(), 1440);
        EXPECT_EQ(source.phonePages()[i]->shownSize(), source.pages()[i]->shownSize());
    }
}
