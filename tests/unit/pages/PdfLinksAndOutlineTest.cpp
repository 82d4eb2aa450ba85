#include "pages/FlashOutlinePDF.h"
#include "pages/FlashPagesAnnotationsPDF.h"
#include "util/Xml.h"

#include "OutlineTestSupport.h"
#include "PageTestSupport.h"
#include "PdfFixtures.h"

#include <gtest/gtest.h>
#include <poppler-qt6.h>

using namespace PdfFixtures;

namespace {
QByteArray pdfWithBookmarks(int pageCount, const QList<Bookmark>& bookmarks, const QByteArray& password = {}) {
    HandPdfOptions options;
    options.userPassword = password;
    options.extend = [&](PdfObjectWriter& w, const QList<int>& pageIds, QList<HandPage>&) {
        return outlines(w, pageIds, bookmarks);
    };
    return handMadePdf(QList<HandPage>(pageCount, markedPage(QSizeF(300, 400))), options);
}

QString outlineOf(const QByteArray& pdf) {
    FlashOutlinePDF outline;
    outline.loadOutlineFromPDF(Poppler::Document::loadFromData(pdf).get());
    return OutlineTestSupport::compact(outline);
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

TEST(FlashOutlinePDF, ReadsNestedBookmarksWithPdfPageNumbers) {
    // Levels count from 1; pages are the PDF's, whatever range is imported. A heading without a
    // destination keeps its sub-entries; a leaf that leads nowhere (no destination, or a page the
    // document lacks) is left out; an empty title stays empty, not "(null)".
    const QList<Bookmark> bookmarks = {
        {QStringLiteral("Chapter Ünø"), 0, {{QStringLiteral("Section"), 2, {{QStringLiteral("Detail"), 4, {}}}}}},
        {QStringLiteral("Heading"), -1, {{QStringLiteral("Inside"), 1, {}}, {QStringLiteral("Nowhere"), -1, {}}}},
        {QStringLiteral("Missing page"), 70, {}},
        {QString(), 5, {}},
    };
    EXPECT_EQ(outlineOf(pdfWithBookmarks(6, bookmarks)),
              QStringLiteral("<ols><o><c>Chapter Ünø</c><p>1</p><l>1</l><ci><o><c>Section</c><p>3</p><l>2</l><ci>"
                             "<o><c>Detail</c><p>5</p><l>3</l><ci/></o></ci></o></ci></o>"
                             "<o><c>Heading</c><p>0</p><l>1</l><ci><o><c>Inside</c><p>2</p><l>2</l><ci/></o></ci></o>"
                             "<o><c></c><p>6</p><l>1</l><ci/></o></ols>"));
}

// Neither reader finds anything in a document it cannot read, nor bookmarks where there are none.
TEST(FlashOutlinePDF, DocumentsWithoutBookmarksOrUnreadableGiveNoOutlineAndNoLinks) {
    const QByteArray whole = pdfWithBookmarks(4, {{QStringLiteral("A"), 0, {{QStringLiteral("B"), 3, {}}}}});
    QList<QByteArray> pdfs = {QByteArray(), handMadePdf({QSizeF(200, 200)}), pdfWithBookmarks(2, {}),
                              pdfWithBookmarks(1, {{QStringLiteral("Locked"), 0, {}}}, "secret")};
    for (double kept : {0.2, 0.5, 0.8, 0.95})
        pdfs.append(truncated(whole, kept));
    for (const QByteArray& pdf : pdfs) {
        EXPECT_EQ(outlineOf(pdf), QStringLiteral("<ols/>")) << pdf.size();
        FlashPagesAnnotationsPDF links;
        links.loadLinksFromPDF(Poppler::Document::loadFromData(pdf).get(), {1, 2});
        EXPECT_FALSE(links.AnnosXML2JS().contains("annotype")) << pdf.size();
    }
}

// Links are placed as fractions of the page from its top left, clipped to the page.
TEST(FlashPagesAnnotationsPDF, KeepsWebAndPageLinksInOrderAndSkipsTheRest) {
    const QRectF r(60, 640, 180, 40);
    const QByteArray note = annot("Text", r, "/Contents (A note)");
    const QByteArray marker = annot("Highlight", r, "/QuadPoints [100 120 150 120 100 100 150 100]");
    HandPdfOptions options;
    options.extend = [&](PdfObjectWriter& w, const QList<int>& ids, QList<HandPage>& pages) {
        for (HandPage& page : pages)
            page.extraEntries = annots(w, {note, marker});
        pages[2].extraEntries = annots(w, {
            note, linkToUri(r, "https://example.org/a?b=1&c=\"2\""), marker, linkToPage(r, ids[9]),
            annot("Link", r, "/A << /S /GoToR /F (other.pdf) /D [0 /Fit] >>"),
            linkToPage(r, 9999),                          // names no page of this document
            linkToPage(QRectF(700, 900, 20, 20), ids[1]), // wholly off the page
            // both an address and a destination (which PDF forbids): kept by its destination
            annot("Link", r, uriAction("https://both.example") + " /Dest " + destination(ids[1])),
            // addresses are read as a browser reads them: hidden script addresses are left out,
            // a host without a scheme is a web address, control characters stay out of the XML
            linkToUri(r, "java\tscript:alert(1)"), linkToUri(r, "java\nscript:alert(2)"),
            linkToUri(r, "javascript\t:alert(3)"), linkToUri(r, "data:text/html,x"),
            linkToUri(r, "example.org/page"), linkToUri(r, "notes/page\x0b\x0c.html"),
            linkToPage(QRectF(540, -40, 120, 80), ids[0]),   // over the bottom right corner
        });
        return QByteArray();
    };
    const auto doc = Poppler::Document::loadFromData(handMadePdf(QList<HandPage>(10, HandPage()), options));
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
                           QString("url notes/page\x0b\x0c.html"), "page 1"}));
    QList<QRectF> places;
    for (pugi::xml_node anno : pagesAnnos.first_child().children("anno"))
        places << placeOf(anno);
    EXPECT_EQ(places, QList<QRectF>(5, QRectF(0.1, 0.15, 0.3, 0.05)) << QRectF(0.9, 0.95, 0.1, 0.05));
    pugi::xml_document written;
    written.append_copy(pagesAnnos);
    EXPECT_EQ(Xml::wellFormedError(Xml::toBytes(written)), "");
    EXPECT_STREQ(pagesAnnos.last_child().attribute("pageIndex").value(), "2");
    EXPECT_TRUE(actionsOf(pagesAnnos.last_child()).isEmpty());
}
