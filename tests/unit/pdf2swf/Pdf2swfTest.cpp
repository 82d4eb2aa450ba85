#include "PdfFixtures.h"
#include "pages/PDFToSWFPageConverter.h"
#include "pdf2swf/Pdf2swfOptions.h"
#include "pdf2swf/SwfMovieWriter.h"
#include "pages/SwfPageImage.h"
#include "TestSupport.h"
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QString toolPath() { return PDFToSWFPageConverter::getPDF2swfLibPath(); }

QStringList tenArguments(const QString& pdf, const QString& out, int page, int quality, int zoom) {
    return {pdf, "-o " + out, QStringLiteral("-p %1-%1").arg(page), QStringLiteral("-s jpegquality=%1").arg(quality),
            "-t", "-G", "-qq", "-s flashversion=8", "-s disablelinks", QStringLiteral("-s zoom=%1").arg(zoom)};
}

// A movie as players read it: the header with its own length, then the page bitmap.
QImage bitmapOf(const QByteArray& movie) {
    EXPECT_TRUE(movie.startsWith("FWS\x08"));
    EXPECT_EQ(qFromLittleEndian<quint32>(movie.constData() + 4), quint32(movie.size()));
    return QImage::fromData(SwfPageImage::jpegFromMovie(movie), "JPEG");
}

class Pdf2swfTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(toolPath()).isExecutable()) << "build the pdf2swf target first";
        pdf = dir.filePath("book.pdf");
        ASSERT_TRUE(PdfFixtures::makeQtPdf(pdf, {QSizeF(300, 400), QSizeF(400, 250)}));
    }
    QTemporaryDir dir;
    QString pdf;
};

}

TEST(Pdf2swfOptions, ReadsTheTenArgumentsAndTheSplitFormAndRefusesWhatItCannotDo) {
    const Pdf2swfOptions o = Pdf2swfOptions::parse(tenArguments("/a b/c.pdf", "/w/7.swf", 7, 45, 70));
    EXPECT_EQ(QStringList({o.pdfPath, o.outputPath, o.error}), QStringList({"/a b/c.pdf", "/w/7.swf", ""}));
    EXPECT_EQ(QList<int>({o.pageNumber, o.jpegQuality, o.zoom, o.flashVersion}), QList<int>({7, 45, 70, 8}));
    const Pdf2swfOptions split = Pdf2swfOptions::parse({"x.pdf", "-o", "y.swf", "-p", "3", "-s", "zoom=96"});
    EXPECT_EQ(QStringList({split.outputPath, split.error}), QStringList({"y.swf", ""}));
    EXPECT_EQ(QList<int>({split.pageNumber, split.zoom}), QList<int>({3, 96}));

    const QList<QStringList> refused = {
        {"x.pdf", "-o y.swf", "-p 3-4"},   // more than one page
        {"x.pdf", "-p 3-3"}, {"-o y.swf", "-p 3-3"}, {"x.pdf", "-o y.swf", "-p 0-0"},
        {"x.pdf", "-o y.swf", "-p 1-1", "-s zoom=-5"}, {"x.pdf", "-o y.swf", "-p 1-1", "-x"}};
    for (const QStringList& arguments : refused)
        EXPECT_FALSE(Pdf2swfOptions::parse(arguments).ok()) << qPrintable(arguments.join(' '));
}

// One page becomes a bitmap movie of the page as shown, capped to what players show; a page the
// file lacks, a broken or missing file, or a call without a page writes nothing and fails.
TEST_F(Pdf2swfTool, WritesOnePageAsABitmapMovieOrNothing) {
    const QString rotated = dir.filePath("rotated.pdf"), huge = dir.filePath("huge.pdf"), broken = dir.filePath("broken.pdf");
    ASSERT_TRUE(PdfFixtures::writeFile(rotated, PdfFixtures::handMadePdf({PdfFixtures::markedPage(QSizeF(200, 100), "R", 90)})));
    ASSERT_TRUE(PdfFixtures::writeFile(huge, PdfFixtures::handMadePdf({QSizeF(6000, 3000)})));
    ASSERT_TRUE(PdfFixtures::writeFile(broken, "%PDF-1.4\nthis is not a PDF"));
    const QString out = dir.filePath("page.swf");
    const struct { QStringList arguments; QSize stage; } cases[] = {
        {tenArguments(pdf, out, 2, 50, 144), {800, 500}}, {tenArguments(rotated, out, 1, 50, 72), {100, 200}},
        {tenArguments(huge, out, 1, 50, 144), {8191, 4096}}, {tenArguments(pdf, out, 3, 80, 144), {}},
        {tenArguments(broken, out, 1, 80, 144), {}}, {tenArguments(dir.filePath("missing.pdf"), out, 1, 80, 144), {}},
        {{pdf, "-o " + out}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        QFile::remove(out);
        const TestSupport::ToolRun run = TestSupport::runTool(toolPath(), c.arguments);
        if (c.stage.isEmpty()) {
            EXPECT_NE(run.exitCode, 0);
            EXPECT_FALSE(QFileInfo::exists(out));
            continue;
        }
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(bitmapOf(TestSupport::readFile(out)).size(), c.stage);
    }
}

// A tag with the long header, as movies store bitmaps.
QByteArray longTag(int code, const QByteArray& body) {
    QByteArray out(6, '\0');
    qToLittleEndian<quint16>(quint16(code << 6 | 0x3F), out.data());
    qToLittleEndian<quint32>(quint32(body.size()), out.data() + 2);
    return out + body;
}

TEST(SwfPageImage, TheMovieJpegComesOutAsItWentIn) {
    const QByteArray jpeg = "\xFF\xD8 page pixels \xFF\xD9";
    const QByteArray movie = SwfMovieWriter::bitmapPageMovie(QSize(30, 40), jpeg, 8);
    const QByteArray head = movie.left(movie.indexOf(jpeg) - 8);   // up to the bitmap tag
    const QByteArray packed = "CWS" + movie.mid(3, 5) + qCompress(movie.mid(8)).mid(4);
    // A bitmap with alpha, whose JPEG starts with the extra markers some writers put in front.
    const QByteArray marked = "\xFF\xD9\xFF\xD8" + jpeg;
    QByteArray jpeg3(6, '\0');
    qToLittleEndian<quint32>(quint32(marked.size()), jpeg3.data() + 2);
    jpeg3 += marked + "alpha";
    const QByteArray end(2, '\0');
    const QList<std::tuple<const char*, QByteArray, QByteArray>> cases = {
        {"plain", movie, jpeg}, {"compressed", packed, jpeg}, {"with alpha", head + longTag(35, jpeg3) + end, jpeg},
        {"truncated", movie.left(movie.indexOf(jpeg) + 5), {}},
        {"packed garbage", QByteArray("CWS\x08\x40\0\0\0garbage", 15), {}}, {"not a movie", "GIF89a", {}},
        {"no bitmap", head + end, {}}, {"not a JPEG", head + longTag(21, "\1\0GIF89a") + end, {}},
    };
    for (const auto& [name, bytes, expected] : cases)
        EXPECT_EQ(SwfPageImage::jpegFromMovie(bytes), expected) << name;
}
