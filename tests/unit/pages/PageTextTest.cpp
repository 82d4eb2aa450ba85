#include "PageTestSupport.h"
#include "PdfFixtures.h"
#include "pages/FlashPagesAnnotationsPDF.h"
#include "pages/PageRasterizer.h"
#include "pages/PageText.h"
#include <QTemporaryDir>
#include <QTransform>
#include <QtMath>
#include <gtest/gtest.h>
#include <poppler-qt6.h>

using namespace PdfFixtures;

namespace {

// Words drawn at known places, and links on light marks of their own colour that no word comes
// near; "margin" lies outside every crop box.
struct DrawnWord {
    QByteArray word;
    QPointF at;
    double size;
};
const QList<DrawnWord> kWords = {
    {"Alpha", {120, 650}, 24}, {"Beta", {380, 520}, 18}, {"Gamma", {200, 300}, 30}, {"delta", {420, 180}, 14},
    {"margin", {20, 40}, 12}};
const QList<QPair<QRectF, QColor>> kMarks = {
    {QRectF(160, 560, 180, 40), QColor(120, 230, 150)},   // wide
    {QRectF(380, 220, 30, 120), QColor(240, 150, 220)},   // tall
    {QRectF(250, 330, 90, 90), QColor(150, 190, 250)},
};

// The box of the dark pixels inside the area, in pixels; empty when there are none.
QRect inkIn(const QImage& image, const QRect& area) {
    QRect ink;
    const QRect clipped = area.intersected(image.rect());
    for (int y = clipped.top(); y <= clipped.bottom(); ++y)
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            if (qGray(image.pixel(x, y)) < 160)
                ink = ink.united(QRect(x, y, 1, 1));
    return ink;
}

QRect inPixels(const QRectF& fraction, const QSize& size) {
    return QTransform::fromScale(size.width(), size.height()).mapRect(fraction).toAlignedRect();
}

// The ways a page can be shown other than its media box upright.
struct PlacementCase {
    const char* name;
    int rotate;
    QRectF cropBox;
};
class Placement : public ::testing::TestWithParam<PlacementCase> {};
const QRectF kCrop(100, 150, 400, 520);

}

// Drawing the page as the book shows it, each word's recorded box must sit on that word's ink
// (within 1% of the page) and hold all of it, and each link's place must lie on its mark; words
// the crop box hides are left out. The words are read on their own and as the drawing collects them.
TEST_P(Placement, WordBoxesAndLinkPlacesLieOnWhatThePageShows) {
    const PlacementCase c = GetParam();
    HandPage page;
    page.rotate = c.rotate;
    page.cropBox = c.cropBox;
    for (const auto& [rect, colour] : kMarks)
        page.content += fillRect(rect, colour);
    for (const DrawnWord& w : kWords)
        page.content += text(w.at.x(), w.at.y(), w.size, w.word);
    HandPdfOptions options;
    options.extend = [](PdfObjectWriter& w, const QList<int>& ids, QList<HandPage>& pages) {
        QList<QByteArray> links;
        for (const auto& mark : kMarks)
            links << linkToPage(mark.first, ids[0]);
        pages[0].extraEntries = annots(w, links);
        return QByteArray();
    };
    QTemporaryDir dir;
    const QString path = dir.filePath("page.pdf");
    ASSERT_TRUE(writeFile(path, handMadePdf({page}, options)));
    const auto doc = Poppler::Document::load(path);
    ASSERT_TRUE(doc);
    const QSizeF shown = std::unique_ptr<Poppler::Page>(doc->page(0))->pageSizeF();
    const PageRasterizer::Drawing drawing = PageRasterizer(path).renderWithText(1, (shown * 2).toSize());
    const QImage& image = drawing.image;
    ASSERT_FALSE(image.isNull());
    const int tolerance = qCeil(0.01 * qMax(image.width(), image.height()));
    QStringList expected = {"Alpha", "Beta", "Gamma", "delta"};   // in sorted order
    if (c.cropBox.isNull())
        expected << "margin";
    for (const PageText& found : {PageText::fromPage(doc.get(), 1), drawing.text}) {
        QStringList words;
        for (const PageText::Word& w : found.words)
            words << found.text.mid(w.start, w.length);
        std::sort(words.begin(), words.end());
        EXPECT_EQ(words, expected) << c.name;
        for (const PageText::Word& w : found.words) {
            const QString word = found.text.mid(w.start, w.length);
            const QRect box = inPixels(w.box, image.size());
            const QRect ink = inkIn(image, box.adjusted(-40, -40, 40, 40));
            ASSERT_FALSE(ink.isEmpty()) << c.name << " " << qPrintable(word);
            EXPECT_TRUE(box.adjusted(-tolerance, -tolerance, tolerance, tolerance).contains(ink))
                << c.name << " " << qPrintable(word);
            const QRect overlap = box.intersected(ink);
            EXPECT_GE(double(overlap.width()) * overlap.height(), 0.5 * double(box.width()) * box.height())
                << c.name << " " << qPrintable(word);
        }
    }

    FlashPagesAnnotationsPDF links;
    links.loadLinksFromPDF(doc.get(), {1});
    int i = 0;
    for (pugi::xml_node anno : links.pagesAnnotationsNode().first_child().children("anno")) {
        // The centre and points a few pixels inside two opposite corners.
        const QRectF place = placeOf(anno);
        const QPointF inset(6.0 / image.width(), 6.0 / image.height());
        for (const QPointF& probe : {place.center(), place.topLeft() + inset, place.bottomRight() - inset}) {
            const QColor seen = image.pixelColor(int(probe.x() * image.width()), int(probe.y() * image.height()));
            const QColor want = kMarks.value(i).second;
            EXPECT_LE(std::abs(seen.red() - want.red()) + std::abs(seen.green() - want.green()) +
                          std::abs(seen.blue() - want.blue()), 12)
                << c.name << " link " << i << " at " << probe.x() << "," << probe.y();
        }
        ++i;
    }
    EXPECT_EQ(i, kMarks.size()) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    RotationsAndCropBoxes, Placement,
    ::testing::Values(PlacementCase{"rotate0", 0, {}}, PlacementCase{"rotate90", 90, {}}, PlacementCase{"rotate180", 180, {}},
                      PlacementCase{"rotate270", 270, {}}, PlacementCase{"crop", 0, kCrop}, PlacementCase{"crop90", 90, kCrop},
                      PlacementCase{"crop270", 270, kCrop}),
    [](const auto& info) { return std::string(info.param.name); });

// A page text script read back from a book folder is data: what a script could run, or numbers
// that point outside the text or the page, are refused; quotes and markup in the text survive.
TEST(PageTextScript, WrittenTextReadsBackAndHostileScriptsAreRefused) {
    QTemporaryDir dir;
    PageText page;
    page.text = QStringLiteral("say \"</script><script>alert(1)</script>\"\n\u2028caf\u00e9");
    page.words = {{0, 3, QRectF(0.1, 0.2, 0.3, 0.04)}, {int(page.text.size()) - 4, 4, QRectF(0.5, 0.9, 0.25, 0.05)}};
    const QString good = dir.filePath("good.js");
    ASSERT_TRUE(page.writeScript(good, 7));
    const QByteArray bytes = TestSupport::readFile(good);
    EXPECT_TRUE(bytes.startsWith("leafmillPageText(7,{\"t\":\"say \\\"<\\/script>")) << bytes.constData();
    const auto back = PageText::readScript(good);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, page.text);
    ASSERT_EQ(back->words.size(), 2);
    EXPECT_EQ(back->words[1].start, page.text.size() - 4);
    EXPECT_NEAR(back->words[1].box.width(), 0.25, 1e-9);
    // Places have four decimals at most and no trailing zeros; a negative zero is written as 0.
    page.words = {{0, 3, QRectF(-0.0, 1.0 / 3, 1, 0.123456)}, {4, 2, QRectF(0.5, 0.99996, 0.00004, 0.1)}};
    EXPECT_TRUE(page.script(12).endsWith(",\"w\":[0,3,0,0.3333,1,0.1235,4,2,0.5,1,0,0.1]});\n")) << page.script(12).constData();

    for (const QByteArray& hostile : {
             QByteArray("leafmillPageText(1,{\"t\":\"a\",\"w\":[]});alert(1);"),
             QByteArray("alert(1);leafmillPageText(1,{\"t\":\"a\",\"w\":[]});"),
             QByteArray("leafmillPageText(1,{\"t\":\"ab\",\"w\":[1,5,0,0,0.1,0.1]});"),
             QByteArray("leafmillPageText(1,{\"t\":\"ab\",\"w\":[0,1,0,0,1.5,0.1]});"),
             QByteArray("leafmillPageText(1,{\"t\":\"ab\",\"w\":[0,1,0,0]});"),
             QByteArray("leafmillPageText(1,{\"t\":5,\"w\":[]});")}) {
        const QString path = dir.filePath("hostile.js");
        ASSERT_TRUE(writeFile(path, hostile));
        EXPECT_FALSE(PageText::readScript(path)) << hostile.constData();
    }
}
