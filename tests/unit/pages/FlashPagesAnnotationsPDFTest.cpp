#include "pages/FlashPagesAnnotationsPDF.h"
#include "util/Xml.h"

#include "PdfLinkFixtures.h"

#include <QImage>
#include <gtest/gtest.h>
#include <poppler-qt6.h>

using namespace PdfFixtures;

namespace {
// page number -> annotation bodies, made once the page ids are known
using AnnotMaker = std::function<QList<QByteArray>(int pageIndex, const QList<int>& pageIds)>;

std::unique_ptr<Poppler::Document> pdfWithAnnots(QList<HandPage> pages, const AnnotMaker& annotsFor) {
    HandPdfOptions options;
    options.extend = [&](PdfObjectWriter& w, const QList<int>& pageIds, QList<HandPage>& handPages) {
        for (int i = 0; i < handPages.size(); ++i)
            handPages[i].extraEntries += annots(w, annotsFor(i, pageIds));
        return QByteArray();
    };
    return Poppler::Document::loadFromData(handMadePdf(pages, options));
}

HandPage plainPage() {
    HandPage page;
    page.mediaBox = QRectF(0, 0, 600, 800);
    return page;
}

QRectF placeOf(const pugi::xml_node& anno) {
    const pugi::xml_node l = anno.child("location");
    return QRectF(Xml::attr(l, "x").toDouble(), Xml::attr(l, "y").toDouble(), Xml::attr(l, "width").toDouble(),
                  Xml::attr(l, "height").toDouble());
}

// "page N" or "url U" for every link of one book page, in order.
QStringList actionsOf(const pugi::xml_node& pageAnnos) {
    QStringList actions;
    for (pugi::xml_node anno : pageAnnos.children("anno")) {
        const pugi::xml_node action = anno.child("action");
        actions << (action.child("url") ? "url " + Xml::text(action.child("url")) : "page " + Xml::text(action.child("pageIndex")));
    }
    return actions;
}
}

TEST(FlashPagesAnnotationsPDF, LinksArePlacedAsFractionsFromTheTopLeftAndClippedToThePage) {
    auto doc = pdfWithAnnots({plainPage(), plainPage()}, [](int page, const QList<int>& ids) {
        return page == 0 ? QList<QByteArray>{linkToPage(QRectF(60, 640, 180, 40), ids[1]), linkToPage(QRectF(540, -40, 120, 80), ids[0])}
                         : QList<QByteArray>{};
    });
    ASSERT_TRUE(doc);
    FlashPagesAnnotationsPDF links;
    links.loadLinksFromPDF(doc.get(), {1, 2});
    EXPECT_EQ(links.AnnosXML2JS(),
              QStringLiteral("[[{annotype:\"com.vellix.flipbook.pageeditor.TAnnoLink\",action:{triggerEventType:\"mouseDown\","
                             "actionType:\"com.vellix.flipbook.pageeditor.TAnnoActionGotoPage\",pageIndex:\"2\"},"
                             "location:{x:\"0.100000\",y:\"0.150000\",width:\"0.300000\",height:\"0.050000\"}},"
                             "{annotype:\"com.vellix.flipbook.pageeditor.TAnnoLink\",action:{triggerEventType:\"mouseDown\","
                             "actionType:\"com.vellix.flipbook.pageeditor.TAnnoActionGotoPage\",pageIndex:\"1\"},"
                             "location:{x:\"0.900000\",y:\"0.950000\",width:\"0.100000\",height:\"0.050000\"}}],[]];"));
}

TEST(FlashPagesAnnotationsPDF, KeepsWebAndPageLinksInOrderAndSkipsTheRest) {
    const QRectF r(100, 100, 50, 20);
    QList<HandPage> pages(10, plainPage());
    auto doc = pdfWithAnnots(pages, [&](int page, const QList<int>& ids) {
        if (page != 2)
            return QList<QByteArray>{textNote(r), highlight(r)};
        return QList<QByteArray>{
            textNote(r),
            linkToUri(r, "https://example.org/a?b=1&c=\"2\""),
            highlight(r),
            linkToPage(r, ids[9]),
            linkToOtherFile(r, "other.pdf"),
            linkToPage(r, 9999),                          // names no page of this document
            linkToPage(QRectF(700, 900, 20, 20), ids[1]), // wholly off the page
            // both an address and a destination (which PDF forbids): kept by its destination
            linkToUriAndPage(r, "https://both.example", ids[1]),
            // addresses are read as a browser reads them: hidden script addresses are left out,
            // a host without a scheme is a web address, control characters stay out of the XML
            linkToUri(r, "java\tscript:alert(1)"), linkToUri(r, "java\nscript:alert(2)"),
            linkToUri(r, "javascript\t:alert(3)"), linkToUri(r, "data:text/html,x"),
            linkToUri(r, "example.org/page"), linkToUri(r, "notes/page\x0b\x0c.html"),
        };
    });
    ASSERT_TRUE(doc);
    FlashPagesAnnotationsPDF links;
    links.needFiles().append(QStringLiteral("/old/file"));
    // Book pages are numbered from 1 in import order; targets stay PDF page numbers; 0 and 11
    // are not in the document.
    links.loadLinksFromPDF(doc.get(), {0, 3, 4, 11});
    EXPECT_TRUE(links.needFiles().isEmpty());
    const pugi::xml_node pagesAnnos = links.pagesAnnotationsNode();
    ASSERT_EQ(std::distance(pagesAnnos.begin(), pagesAnnos.end()), 2);
    EXPECT_STREQ(pagesAnnos.first_child().attribute("pageIndex").value(), "1");
    EXPECT_EQ(actionsOf(pagesAnnos.first_child()),
              QStringList({"url https://example.org/a?b=1&c=\"2\"", "page 10", "page 2", "url https://example.org/page",
                           QString("url notes/page\x0b\x0c.html")}));
    pugi::xml_document written;
    written.append_copy(pagesAnnos);
    EXPECT_EQ(Xml::wellFormedError(Xml::toBytes(written)), "");
    EXPECT_STREQ(pagesAnnos.last_child().attribute("pageIndex").value(), "2");
    EXPECT_TRUE(actionsOf(pagesAnnos.last_child()).isEmpty());
}

TEST(FlashPagesAnnotationsPDF, UnreadableDocumentsGiveNoPages) {
    HandPdfOptions locked;
    locked.userPassword = "secret";
    for (const QByteArray& pdf : {QByteArray(), handMadePdf({plainPage()}, locked)}) {
        FlashPagesAnnotationsPDF links;
        links.loadLinksFromPDF(Poppler::Document::loadFromData(pdf).get(), {1, 2});
        EXPECT_STREQ(links.pagesAnnotationsNode().name(), "pagesAnnos");
        EXPECT_EQ(links.AnnosXML2JS(), QStringLiteral("[];"));
    }
    const QByteArray whole = handMadePdf({plainPage(), plainPage()});
    for (double kept : {0.3, 0.6, 0.9}) {
        FlashPagesAnnotationsPDF links;
        links.loadLinksFromPDF(Poppler::Document::loadFromData(truncated(whole, kept)).get(), {1, 2});
        EXPECT_LE(std::distance(links.pagesAnnotationsNode().begin(), links.pagesAnnotationsNode().end()), 2);
    }
}

// Each link sits on a filled mark of its own colour; rendering the page as shown, the recorded
// place of every link must lie on its mark.
struct PlacementCase {
    const char* name;
    int rotate;
    QRectF cropBox;
};

class LinkPlacement : public ::testing::TestWithParam<PlacementCase> {};

TEST_P(LinkPlacement, RecordedPlaceLiesOnTheMarkUnderTheLink) {
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
    const QImage shown = std::unique_ptr<Poppler::Page>(doc->page(0))->renderToImage(72, 72).convertToFormat(QImage::Format_RGB32);
    QList<pugi::xml_node> annos;
    for (pugi::xml_node anno : links.pagesAnnotationsNode().first_child().children("anno"))
        annos.append(anno);
    ASSERT_EQ(annos.size(), marks.size());
    for (int i = 0; i < annos.size(); ++i) {
        const QRectF place = placeOf(annos[i]);
        // The centre and points near the four corners, a few pixels inside.
        const QPointF inset(3.0 / shown.width(), 3.0 / shown.height());
        for (const QPointF& probe : {place.center(), place.topLeft() + inset, place.bottomRight() - inset,
                                     QPointF(place.right() - inset.x(), place.top() + inset.y()),
                                     QPointF(place.left() + inset.x(), place.bottom() - inset.y())}) {
            const QPoint pixel(int(probe.x() * shown.width()), int(probe.y() * shown.height()));
            ASSERT_TRUE(shown.rect().contains(pixel)) << c.name << " link " << i;
            const QColor seen = shown.pixelColor(pixel), want = marks[i].second;
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
