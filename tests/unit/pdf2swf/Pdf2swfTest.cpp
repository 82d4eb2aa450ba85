#include "PdfFixtures.h"
#include "pages/PDFToSWFPageConverter.h"
#include "pdf2swf/Pdf2swfOptions.h"
#include "pdf2swf/SwfMovieWriter.h"
#include "pages/SwfPageImage.h"
#include "SwfReader.h"
#include "TestSupport.h"
#include <QBuffer>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

QString toolPath() {
    return PDFToSWFPageConverter::getPDF2swfLibPath();
}

QStringList tenArguments(const QString& pdf, const QString& out, int page, int quality, int zoom) {
    return {pdf, "-o " + out, QStringLiteral("-p %1-%1").arg(page), QStringLiteral("-s jpegquality=%1").arg(quality),
            "-t", "-G", "-qq", "-s flashversion=8", "-s disablelinks", QStringLiteral("-s zoom=%1").arg(zoom)};
}

TestSupport::ToolRun runTool(const QStringList& arguments) {
    return TestSupport::runTool(toolPath(), arguments);
}

using TestSupport::readFile;

// Checks the movie's structure and returns the decoded bitmap.
QImage checkMovie(const QByteArray& data, QSize stage) {
    const SwfMovie movie = SwfMovie::parse(data);
    EXPECT_EQ(movie.signature, "FWS");
    EXPECT_EQ(movie.version, 8);
    EXPECT_EQ(movie.fileLength, quint32(data.size()));
    EXPECT_EQ(movie.frame, QRect(0, 0, stage.width() * 20, stage.height() * 20));
    EXPECT_EQ(movie.frameCount, 1);
    EXPECT_TRUE(movie.endsCleanly);
    QList<int> codes;
    for (const SwfTag& t : movie.tags)
        codes << t.code;
    EXPECT_EQ(codes, (QList<int>{69, 9, 21, 2, 26, 1, 0}));

    const SwfTag* shapeTag = movie.find(SwfMovieWriter::DefineShape);
    const SwfTag* bitmapTag = movie.find(SwfMovieWriter::DefineBitsJPEG2);
    const SwfTag* placeTag = movie.find(SwfMovieWriter::PlaceObject2);
    if (!shapeTag || !bitmapTag || !placeTag)
        return {};
    const SwfBitmapShape shape = SwfBitmapShape::parse(shapeTag->body);
    const int bitmapId = quint8(bitmapTag->body[0]) | (quint8(bitmapTag->body[1]) << 8);
    EXPECT_EQ(shape.bitmapId, bitmapId);
    EXPECT_EQ(shape.fillType, 0x41);
    EXPECT_DOUBLE_EQ(shape.scaleX, 20.0);
    EXPECT_DOUBLE_EQ(shape.scaleY, 20.0);
    EXPECT_TRUE(shape.fillSet);
    EXPECT_EQ(shape.bounds, movie.frame);
    // The outline runs round the whole stage and closes.
    QRect covered;
    for (const QPoint& p : shape.points)
        covered |= QRect(p, QSize(1, 1));
    EXPECT_EQ(covered, QRect(0, 0, movie.frame.width() + 1, movie.frame.height() + 1));
    EXPECT_EQ(shape.points.last(), QPoint(0, 0));
    const int placed = quint8(placeTag->body[3]) | (quint8(placeTag->body[4]) << 8);
    EXPECT_EQ(placed, shape.shapeId);
    return QImage::fromData(bitmapTag->body.mid(2), "JPEG");
}

class Pdf2swfTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(QFileInfo(toolPath()).isExecutable()) << "build the pdf2swf target first";
        ASSERT_TRUE(dir.isValid());
        pdf = dir.filePath("book.pdf");
        ASSERT_TRUE(PdfFixtures::makeQtPdf(pdf, {QSizeF(300, 400), QSizeF(400, 250)}));
    }
    QTemporaryDir dir;
    QString pdf;
};

}

TEST(Pdf2swfOptions, ReadsTheTenArgumentsAndTheSplitFormAndRefusesWhatItCannotDo) {
    const Pdf2swfOptions o = Pdf2swfOptions::parse(tenArguments("/a b/c.pdf", "/w/7.swf", 7, 45, 70));
    ASSERT_TRUE(o.ok()) << qPrintable(o.error);
    EXPECT_EQ(QStringList({o.pdfPath, o.outputPath}), QStringList({"/a b/c.pdf", "/w/7.swf"}));
    EXPECT_EQ(QList<int>({o.pageNumber, o.jpegQuality, o.zoom, o.flashVersion}), QList<int>({7, 45, 70, 8}));
    EXPECT_TRUE(o.quiet);
    const Pdf2swfOptions split = Pdf2swfOptions::parse({"x.pdf", "-o", "y.swf", "-p", "3", "-s", "zoom=96"});
    ASSERT_TRUE(split.ok()) << qPrintable(split.error);
    EXPECT_EQ(split.outputPath, "y.swf");
    EXPECT_EQ(QList<int>({split.pageNumber, split.zoom}), QList<int>({3, 96}));

    const QList<QStringList> refused = {
        {"x.pdf", "-o y.swf", "-p 3-4"},   // more than one page
        {"x.pdf", "-p 3-3"}, {"-o y.swf", "-p 3-3"}, {"x.pdf", "-o y.swf", "-p 0-0"},
        {"x.pdf", "-o y.swf", "-p 1-1", "-s zoom=-5"}, {"x.pdf", "-o y.swf", "-p 1-1", "-x"}};
    for (const QStringList& arguments : refused)
        EXPECT_FALSE(Pdf2swfOptions::parse(arguments).ok()) << qPrintable(arguments.join(' '));
}

TEST(SwfMovieWriter, LargeStagesStillCloseTheOutline) {
    // Sides beyond one straight edge's reach are drawn in pieces.
    QImage tiny(8, 8, QImage::Format_RGB32);
    tiny.fill(Qt::red);
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    tiny.save(&buffer, "JPEG");
    const QImage bitmap = checkMovie(SwfMovieWriter::bitmapPageMovie(QSize(5000, 3500), jpeg), QSize(5000, 3500));
    EXPECT_EQ(bitmap.size(), QSize(8, 8));
}

TEST_F(Pdf2swfTool, WritesOnePageAsABitmapMovieOfTheShownPageCappedToWhatPlayersShow) {
    const QString rotated = dir.filePath("rotated.pdf"), huge = dir.filePath("huge.pdf");
    ASSERT_TRUE(PdfFixtures::writeFile(rotated, PdfFixtures::handMadePdf({PdfFixtures::markedPage(QSizeF(200, 100), "R", 90)})));
    ASSERT_TRUE(PdfFixtures::writeFile(huge, PdfFixtures::handMadePdf({QSizeF(6000, 3000)})));
    const struct { QString pdf; int page, zoom; QSize stage; } cases[] = {
        {pdf, 2, 144, {800, 500}}, {rotated, 1, 72, {100, 200}}, {huge, 1, 144, {8191, 4096}}};
    for (const auto& c : cases) {
        const QString out = dir.filePath("page.swf");
        const TestSupport::ToolRun run = runTool(tenArguments(c.pdf, out, c.page, 50, c.zoom));
        EXPECT_EQ(run.exitCode, 0) << run.err.constData();
        EXPECT_TRUE(run.out.isEmpty());
        EXPECT_EQ(checkMovie(readFile(out), c.stage).size(), c.stage);
    }
}

TEST_F(Pdf2swfTool, WritesNothingForAMissingPageOrABrokenFile) {
    const QString out = dir.filePath("3.swf");
    const QString broken = dir.filePath("broken.pdf");
    ASSERT_TRUE(PdfFixtures::writeFile(broken, "%PDF-1.4\nthis is not a PDF"));
    for (const QStringList& arguments : {tenArguments(pdf, out, 3, 80, 144), tenArguments(broken, out, 1, 80, 144),
                                         tenArguments(dir.filePath("missing.pdf"), out, 1, 80, 144), QStringList({pdf, "-o " + out})})
        EXPECT_NE(runTool(arguments).exitCode, 0) << qPrintable(arguments.join(' '));
    EXPECT_FALSE(QFileInfo::exists(out));
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
        {"plain", movie, jpeg},
        {"compressed", packed, jpeg},
        {"with alpha", head + longTag(35, jpeg3) + end, jpeg},
        {"truncated", movie.left(movie.indexOf(jpeg) + 5), {}},
        {"packed garbage", QByteArray("CWS\x08\x40\0\0\0garbage", 15), {}},
        {"not a movie", "GIF89a", {}},
        {"no bitmap", head + end, {}},
        {"not a JPEG", head + longTag(21, "\1\0GIF89a") + end, {}},
    };
    for (const auto& [name, bytes, expected] : cases)
        EXPECT_EQ(SwfPageImage::jpegFromMovie(bytes), expected) << name;
}
