#include "outline/FlashOutlinePDF.h"
#include "util/Xml.h"

#include "PdfLinkFixtures.h"

#include <gtest/gtest.h>
#include <poppler-qt6.h>

using PdfFixtures::Bookmark;

namespace {
std::unique_ptr<Poppler::Document> openPdf(const QByteArray& bytes)
{
    return Poppler::Document::loadFromData(bytes);
}

QByteArray pdfWithBookmarks(int pageCount, const QList<Bookmark>& bookmarks)
{
    QList<PdfFixtures::HandPage> pages;
    for (int i = 0; i < pageCount; ++i)
        pages.append(PdfFixtures::markedPage(QSizeF(300, 400)));
    PdfFixtures::HandPdfOptions options;
    options.extend = [&](PdfObjectWriter& w, const QList<int>& pageIds, QList<PdfFixtures::HandPage>&) {
        return PdfFixtures::outlines(w, pageIds, bookmarks);
    };
    return PdfFixtures::handMadePdf(pages, options);
}
}

TEST(FlashOutlinePDF, ReadsThreeLevelsWithPdfPageNumbers)
{
    const QList<Bookmark> bookmarks = {
        {QStringLiteral("Chapter Ünø"), 0, {{QStringLiteral("Section"), 2, {{QStringLiteral("Detail"), 4, {}}}}}},
        {QStringLiteral("Appendix"), 5, {}},
    };
    auto doc = openPdf(pdfWithBookmarks(6, bookmarks));
    ASSERT_TRUE(doc);

    FlashOutlinePDF outline;
    outline.loadOutlineFromPDF(doc.get());
    ASSERT_EQ(outline.items().size(), 2);
    const auto& chapter = outline.items().at(0);
    EXPECT_EQ(chapter->caption(), QStringLiteral("Chapter Ünø"));
    EXPECT_EQ(chapter->pageIndex(), 1);
    EXPECT_EQ(chapter->level(), 1);
    EXPECT_EQ(chapter->parent(), nullptr);
    ASSERT_EQ(chapter->childItems().size(), 1);
    const auto& section = chapter->childItems().at(0);
    EXPECT_EQ(section->pageIndex(), 3);
    EXPECT_EQ(section->level(), 2);
    EXPECT_EQ(section->parent(), chapter.get());
    ASSERT_EQ(section->childItems().size(), 1);
    const auto& detail = section->childItems().at(0);
    EXPECT_EQ(detail->caption(), QStringLiteral("Detail"));
    EXPECT_EQ(detail->pageIndex(), 5); // the PDF's fifth page, whatever range is imported
    EXPECT_EQ(detail->level(), 3);
    EXPECT_EQ(detail->parent(), section.get());
    EXPECT_EQ(outline.items().at(1)->pageIndex(), 6);

}

TEST(FlashOutlinePDF, BookmarksWithoutTargetPage)
{
    // A heading without a destination keeps its sub-entries; a leaf that leads nowhere (no
    // destination, or a page that is not in the document) is left out.
    const QList<Bookmark> bookmarks = {
        {QStringLiteral("Heading"), -1, {{QStringLiteral("Inside"), 1, {}}, {QStringLiteral("Nowhere"), -1, {}}}},
        {QStringLiteral("Missing page"), 7, {}},
        {QString(), 2, {}},
    };
    auto doc = openPdf(pdfWithBookmarks(3, bookmarks));
    ASSERT_TRUE(doc);
    FlashOutlinePDF outline;
    outline.loadOutlineFromPDF(doc.get());
    ASSERT_EQ(outline.items().size(), 2);
    EXPECT_EQ(outline.items().at(0)->caption(), QStringLiteral("Heading"));
    EXPECT_EQ(outline.items().at(0)->pageIndex(), 0);
    ASSERT_EQ(outline.items().at(0)->childItems().size(), 1);
    EXPECT_EQ(outline.items().at(0)->childItems().at(0)->pageIndex(), 2);
    EXPECT_TRUE(outline.items().at(1)->caption().isEmpty());
    EXPECT_FALSE(outline.items().at(1)->caption().isNull()); // written as an empty "c", not "(null)"
}

TEST(FlashOutlinePDF, DocumentsWithoutBookmarksOrUnreadable)
{
    FlashOutlinePDF outline;
    outline.loadOutlineFromPDF(nullptr);
    auto plain = openPdf(PdfFixtures::handMadePdf({QSizeF(200, 200)}));
    ASSERT_TRUE(plain);
    outline.loadOutlineFromPDF(plain.get());
    auto emptyOutline = openPdf(pdfWithBookmarks(2, {}));
    ASSERT_TRUE(emptyOutline);
    outline.loadOutlineFromPDF(emptyOutline.get());
    EXPECT_TRUE(outline.items().isEmpty());

    PdfFixtures::HandPdfOptions locked;
    locked.userPassword = "secret";
    locked.extend = [](PdfObjectWriter& w, const QList<int>& pageIds, QList<PdfFixtures::HandPage>&) {
        return PdfFixtures::outlines(w, pageIds, {{QString(), 0, {}}});
    };
    auto encrypted = openPdf(PdfFixtures::handMadePdf({PdfFixtures::HandPage()}, locked));
    ASSERT_TRUE(encrypted && encrypted->isLocked());
    outline.loadOutlineFromPDF(encrypted.get());
    const QByteArray whole = pdfWithBookmarks(4, {{QStringLiteral("A"), 0, {{QStringLiteral("B"), 3, {}}}}});
    for (double kept : {0.2, 0.5, 0.8, 0.95})
        outline.loadOutlineFromPDF(openPdf(PdfFixtures::truncated(whole, kept)).get());
    EXPECT_TRUE(outline.items().isEmpty());

    pugi::xml_document xml;
    outline.outlineAsXMLNode(xml);
    EXPECT_EQ(QString::fromUtf8(Xml::toBytes(xml.document_element(), false, false)), QStringLiteral("<ols/>"));
}
