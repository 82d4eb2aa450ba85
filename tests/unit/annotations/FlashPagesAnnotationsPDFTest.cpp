#include "annotations/FlashPagesAnnotationsPDF.h"
#include "util/Xml.h"

#include "PdfLinkFixtures.h"

#include <QImage>
#include <gtest/gtest.h>
#include <poppler-qt6.h>

using namespace PdfFixtures;

namespace {
// page number -> annotation bodies, made once the page ids are known
using AnnotMaker = std::function<QList<QByteArray>(int pageIndex, const QList<int>& pageIds)>;

std::unique_ptr<Poppler::Document> pdfWithAnnots(QList<HandPage> pages, const AnnotMaker& annotsFor)
{
    HandPdfOptions options;
    options.extend = [&](PdfObjectWriter& w, const QList<int>& pageIds, QList<HandPage>& handPages) {
        for (int i = 0; i < handPages.size(); ++i)
            handPages[i].extraEntries += annots(w, annotsFor(i, pageIds));
        return QByteArray();
    };
    return Poppler::Document::loadFromData(handMadePdf(pages, options));
}

HandPage plainPage(QSizeF size = QSizeF(600, 800))
{
    HandPage page;
    page.mediaBox = QRectF(QPointF(0, 0), size);
    return page;
}

struct Place {
    QString x, y, width, height;
};

Place placeOf(const pugi::xml_node& anno)
{
    const pugi::xml_node l = anno.child("location");
    return {Xml::attr(l, "x"), Xml::attr(l, "y"), Xml::attr(l, "width"), Xml::attr(l, "height")};
}

QList<pugi::xml_node> annosOf(const pugi::xml_node& pageAnnos)
{
    QList<pugi::xml_node> annos;
    for (pugi::xml_node anno : pageAnnos.children("anno"))
        annos.append(anno);
    return annos;
}
}

TEST(FlashPagesAnnotationsPDF, UnrotatedPageGivesFractionsFromTopLeft)
{
    auto doc = pdfWithAnnots({plainPage(), plainPage()}, [](int page, const QList<int>& ids) {
        return page == 0 ? QList<QByteArray>{linkToPage(QRectF(60, 640, 180, 40), ids[1])} : QList<QByteArray>{};
    });
    ASSERT_TRUE(doc);
    FlashPagesAnnotationsPDF links;
    links.loadLinksFromPDF(doc.get(), {1, 2});

    const QList<pugi::xml_node> annos = annosOf(links.pagesAnnotationsNode().first_child());
    ASSERT_EQ(annos.size(), 1);
    const Place place = placeOf(annos[0]);
    EXPECT_EQ(place.x, QStringLiteral("0.100000"));
    EXPECT_EQ(place.y, QStringLiteral("0.150000"));
    EXPECT_EQ(place.width, QStringLiteral("0.300000"));
    EXPECT_EQ(place.height, QStringLiteral("0.050000"));
    EXPECT_EQ(links.AnnosXML2JS(),
              QStringLiteral("[[{annotype:\"com.vellix.flipbook.pageeditor.TAnnoLink\",action:{triggerEventType:\"mouseDown\","
                             "actionType:\"com.vellix.flipbook.pageeditor.TAnnoActionGotoPage\",pageIndex:\"2\"},"
                             "location:{x:\"0.100000\",y:\"0.150000\",width:\"0.300000\",height:\"0.050000\"}}],[]];"));
}

TEST(FlashPagesAnnotationsPDF, KeepsWebAndPageLinksInOrderAndSkipsTheRest)
{
    const QRectF r(100, 100, 50, 20);
    auto doc = pdfWithAnnots({plainPage(), plainPage(), plainPage()}, [&](int page, const QList<int>& ids) {
        if (page != 0)
            return QList<QByteArray>{textNote(r), highlight(r)};
        return QList<QByteArray>{
            textNote(r),
            linkToUri(r, "https://example.org/a?b=1&c=\"2\""),
            highlight(r),
            linkToPage(r, ids[2]),
            linkToOtherFile(r, "other.pdf"),
            linkToPage(r, 9999),                   // names no page of this document
            linkToPage(QRectF(700, 900, 20, 20), ids[1]), // wholly off the page
            linkToUriAndPage(r, "https://both.example", ids[1]),
        };
    });
    ASSERT_TRUE(doc);
    FlashPagesAnnotationsPDF links;
    links.needFiles().append(QStringLiteral("/old/file"));
    links.loadLinksFromPDF(doc.get(), {1, 2});
    EXPECT_TRUE(links.needFiles().isEmpty());

    const pugi::xml_node pagesAnnos = links.pagesAnnotationsNode();
    const QList<pugi::xml_node> annos = annosOf(pagesAnnos.first_child());
    ASSERT_EQ(annos.size(), 3);
    const pugi::xml_node web = annos[0].child("action");
    EXPECT_STREQ(web.attribute("actionType").value(), "com.vellix.flipbook.pageeditor.TAnnoActionOpenURL");
    EXPECT_STREQ(web.child_value("url"), "https://example.org/a?b=1&c=\"2\"");
    const pugi::xml_node go = annos[1].child("action");
    EXPECT_STREQ(go.attribute("actionType").value(), "com.vellix.flipbook.pageeditor.TAnnoActionGotoPage");
    EXPECT_STREQ(go.child_value("pageIndex"), "3");
    // A link with both an address and a destination (which PDF forbids) reaches us as poppler
    // resolves it, by its destination; it is kept, not lost.
    EXPECT_STREQ(annos[2].child("action").child_value("pageIndex"), "2");

    // The page with only a note and a highlight is an empty list.
    EXPECT_TRUE(annosOf(pagesAnnos.last_child()).isEmpty());
    EXPECT_TRUE(links.AnnosXML2JS().endsWith(QStringLiteral("}],[]];")));
}

TEST(FlashPagesAnnotationsPDF, NumbersPagesByBookButTargetsByPdf)
{
    QList<HandPage> pages(10, plainPage());
    auto doc = pdfWithAnnots(pages, [](int page, const QList<int>& ids) {
        return page == 2 ? QList<QByteArray>{linkToPage(QRectF(10, 10, 30, 30), ids[9])} : QList<QByteArray>{};
    });
    ASSERT_TRUE(doc);
    FlashPagesAnnotationsPDF links;
    links.loadLinksFromPDF(doc.get(), {0, 3, 4, 11});

    const pugi::xml_node pagesAnnos = links.pagesAnnotationsNode();
    ASSERT_EQ(std::distance(pagesAnnos.begin(), pagesAnnos.end()), 2); // 0 and 11 are not in the document
    EXPECT_STREQ(pagesAnnos.first_child().attribute("pageIndex").value(), "1");
    EXPECT_STREQ(pagesAnnos.last_child().attribute("pageIndex").value(), "2");
    EXPECT_STREQ(pagesAnnos.first_child().child("anno").child("action").child_value("pageIndex"), "10");
}

TEST(FlashPagesAnnotationsPDF, UnreadableDocumentsGiveNoPages)
{
    FlashPagesAnnotationsPDF links;
    links.loadLinksFromPDF(nullptr, {1, 2});
    EXPECT_STREQ(links.pagesAnnotationsNode().name(), "pagesAnnos");
    EXPECT_FALSE(links.pagesAnnotationsNode().first_child());
    EXPECT_EQ(links.AnnosXML2JS(), QStringLiteral("[];"));

    HandPdfOptions locked;
    locked.userPassword = "secret";
    auto encrypted = Poppler::Document::loadFromData(handMadePdf({plainPage()}, locked));
    ASSERT_TRUE(encrypted);
    ASSERT_TRUE(encrypted->isLocked());
    links.loadLinksFromPDF(encrypted.get(), {1});
    EXPECT_FALSE(links.pagesAnnotationsNode().first_child());

    auto whole = handMadePdf({plainPage(), plainPage()});
    for (double kept : {0.3, 0.6, 0.9}) {
        auto broken = Poppler::Document::loadFromData(truncated(whole, kept));
        links.loadLinksFromPDF(broken.get(), {1, 2});
        EXPECT_LE(std::distance(links.pagesAnnotationsNode().begin(), links.pagesAnnotationsNode().end()), 2);
    }
}

TEST(FlashPagesAnnotationsPDF, LinkReachingPastThePageIsClipped)
{
    auto doc = pdfWithAnnots({plainPage()}, [](int, const QList<int>& ids) {
        return QList<QByteArray>{linkToPage(QRectF(540, -40, 120, 80), ids[0])};
    });
    ASSERT_TRUE(doc);
    FlashPagesAnnotationsPDF links;
    links.loadLinksFromPDF(doc.get(), {1});
    const Place place = placeOf(links.pagesAnnotationsNode().first_child().child("anno"));
    EXPECT_EQ(place.x, QStringLiteral("0.900000"));
    EXPECT_EQ(place.y, QStringLiteral("0.950000"));
    EXPECT_EQ(place.width, QStringLiteral("0.100000"));
    EXPECT_EQ(place.height, QStringLiteral("0.050000"));
}

// Each link sits on a filled mark of its own colour; rendering the page as shown, the recorded
// place of every link must lie on its mark.
struct PlacementCase {
    const char* name;
    int rotate;
    QRectF cropBox;
};

void PrintTo(const PlacementCase& c, std::ostream* os)
{
    *os << c.name;
}

class LinkPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(LinkPlacement, RecordedPlaceLiesOnTheMarkUnderTheLink)
{
    const PlacementCase c = GetParam();
    const QList<QPair<QRectF, QColor>> marks = {
        {QRectF(160, 560, 180, 40), QColor(0, 160, 80)},   // wide
        {QRectF(380, 220, 30, 120), QColor(200, 40, 160)}, // tall
        {QRectF(250, 330, 90, 90), QColor(30, 60, 220)},
    };
    HandPage page = plainPage();
    page.rotate = c.rotate;
    page.cropBox = c.cropBox;
    page.content = fillRect(page.mediaBox, QColor(235, 235, 235));
    for (const auto& [rect, colour] : marks)
        page.content += fillRect(rect, colour);
    auto doc = pdfWithAnnots({page}, [&](int, const QList<int>& ids) {
        QList<QByteArray> bodies;
        for (const auto& mark : marks)
            bodies.append(linkToPage(mark.first, ids[0]));
        return bodies;
    });
    ASSERT_TRUE(doc);
    FlashPagesAnnotationsPDF links;
    links.loadLinksFromPDF(doc.get(), {1});
    const std::unique_ptr<Poppler::Page> pdfPage(doc->page(0));
    const QImage shown = pdfPage->renderToImage(72, 72).convertToFormat(QImage::Format_RGB32);

    const QList<pugi::xml_node> annos = annosOf(links.pagesAnnotationsNode().first_child());
    ASSERT_EQ(annos.size(), marks.size());
    for (int i = 0; i < annos.size(); ++i) {
        const Place p = placeOf(annos[i]);
        const QRectF place(p.x.toDouble(), p.y.toDouble(), p.width.toDouble(), p.height.toDouble());
        // The centre and points near the four corners, a few pixels inside.
        const double insetX = 3.0 / shown.width(), insetY = 3.0 / shown.height();
        const QList<QPointF> probes = {place.center(),
                                       place.topLeft() + QPointF(insetX, insetY),
                                       place.topRight() + QPointF(-insetX, insetY),
                                       place.bottomLeft() + QPointF(insetX, -insetY),
                                       place.bottomRight() + QPointF(-insetX, -insetY)};
        for (const QPointF& probe : probes) {
            const QPoint pixel(int(probe.x() * shown.width()), int(probe.y() * shown.height()));
            ASSERT_TRUE(shown.rect().contains(pixel)) << c.name << " link " << i;
            const QColor seen = shown.pixelColor(pixel);
            const QColor want = marks[i].second;
            EXPECT_LE(std::abs(seen.red() - want.red()) + std::abs(seen.green() - want.green()) +
                          std::abs(seen.blue() - want.blue()), 12)
                << c.name << " link " << i << " at " << pixel.x() << "," << pixel.y();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    RotationsAndCropBoxes, LinkPlacement,
    ::testing::Values(PlacementCase{"rotate0", 0, {}}, PlacementCase{"rotate90", 90, {}},
                      PlacementCase{"rotate180", 180, {}}, PlacementCase{"rotate270", 270, {}},
                      PlacementCase{"crop", 0, QRectF(100, 150, 400, 500)},
                      PlacementCase{"crop90", 90, QRectF(100, 150, 400, 500)},
                      PlacementCase{"crop270", 270, QRectF(120, 180, 360, 480)}),
    [](const auto& info) { return std::string(info.param.name); });
