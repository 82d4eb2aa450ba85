#include "pages/FlashOutlinePDF.h"
#include "pages/FlashPagesAnnotationsPDF.h"

#include "OutlineTestSupport.h"
#include "PdfFixtures.h"

#include <poppler-qt6.h>

using PdfFixtures::Bookmark;

namespace {
QByteArray pdfWithBookmarks(int pageCount, const QList<Bookmark>& bookmarks, const QByteArray& password = {}) {
    PdfFixtures::HandPdfOptions options;
    options.userPassword = password;
    options.extend = [&](PdfObjectWriter& w, const QList<int>& pageIds, QList<PdfFixtures::HandPage>&) {
        return PdfFixtures::outlines(w, pageIds, bookmarks);
    };
    return PdfFixtures::handMadePdf(QList<PdfFixtures::HandPage>(pageCount, PdfFixtures::markedPage(QSizeF(300, 400))), options);
}

QString outlineOf(const QByteArray& pdf, FlashOutlinePDF* into = nullptr) {
    FlashOutlinePDF own;
    FlashOutlinePDF& outline = into ? *into : own;
    outline.loadOutlineFromPDF(Poppler::Document::loadFromData(pdf).get());
    return OutlineTestSupport::compact(outline);
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
    FlashOutlinePDF outline;
    EXPECT_EQ(outlineOf(pdfWithBookmarks(6, bookmarks), &outline),
              QStringLiteral("<ols><o><c>Chapter Ünø</c><p>1</p><l>1</l><ci><o><c>Section</c><p>3</p><l>2</l><ci>"
                             "<o><c>Detail</c><p>5</p><l>3</l><ci/></o></ci></o></ci></o>"
                             "<o><c>Heading</c><p>0</p><l>1</l><ci><o><c>Inside</c><p>2</p><l>2</l><ci/></o></ci></o>"
                             "<o><c></c><p>6</p><l>1</l><ci/></o></ols>"));
}

// Neither reader finds anything in a document it cannot read, nor bookmarks where there are none.
TEST(FlashOutlinePDF, DocumentsWithoutBookmarksOrUnreadableGiveNoOutlineAndNoLinks) {
    const QByteArray whole = pdfWithBookmarks(4, {{QStringLiteral("A"), 0, {{QStringLiteral("B"), 3, {}}}}});
    QList<QByteArray> pdfs = {QByteArray(), PdfFixtures::handMadePdf({QSizeF(200, 200)}), pdfWithBookmarks(2, {}),
                              pdfWithBookmarks(1, {{QStringLiteral("Locked"), 0, {}}}, "secret")};
    for (double kept : {0.2, 0.5, 0.8, 0.95})
        pdfs.append(PdfFixtures::truncated(whole, kept));
    for (const QByteArray& pdf : pdfs) {
        EXPECT_EQ(outlineOf(pdf), QStringLiteral("<ols/>")) << pdf.size();
        FlashPagesAnnotationsPDF links;
        links.loadLinksFromPDF(Poppler::Document::loadFromData(pdf).get(), {1, 2});
        EXPECT_FALSE(links.AnnosXML2JS().contains("annotype")) << pdf.size();
    }
}
