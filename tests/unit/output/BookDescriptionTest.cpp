#include "OutputFixture.h"

#include "output/FlashBookOutput.h"
#include "util/Xml.h"

using namespace OutputFixture;

namespace {
class BookDescription : public BookFolder {
protected:
    std::unique_ptr<FlashBookOutput> engine() { return std::make_unique<FlashBookOutput>(iPages, iTemplate, iOut, "mybook"); }

    QStringList hardFlags() {
        const auto doc = engine()->bookXML();
        QStringList flags;
        for (const auto page : doc->document_element().child("pages").children("page"))
            flags << page.attribute("isHardPage").value();
        return flags;
    }
};
}

TEST_F(BookDescription, RootAndPagesAreDescribed) {
    addPages(3);
    const auto doc = engine()->bookXML();
    const pugi::xml_node root = doc->document_element();
    EXPECT_STREQ(root.name(), "flipbook");
    EXPECT_STREQ(root.attribute("count").value(), "3");
    EXPECT_STREQ(root.attribute("appAppShortName").value(), "pt");
    EXPECT_STREQ(root.attribute("appAppName").value(), "Leaf Mill for Mac");
    EXPECT_STREQ(root.attribute("templateValidCode").value(), "Tiny");
    EXPECT_STREQ(root.attribute("e").value(), "noext");
    EXPECT_STREQ(root.attribute("templateName").value(), "Tiny");
    QStringList order;
    for (const auto child : root.children())
        order << child.name();
    EXPECT_EQ(order, QStringList({"extConfig", "pages", "languages"}));   // no outline, no links

    // URLs by page index and the file's own extension; zoomed pages are the normal pages.
    const pugi::xml_node page = root.child("pages").find_child_by_attribute("isHardPage", "false").next_sibling();
    EXPECT_STREQ(page.child("normalUrl").text().get(), "./files/page/1.swf");
    EXPECT_STREQ(page.child("largeUrl").text().get(), "./files/page/1.swf");
    EXPECT_STREQ(page.child("thumbUrl").text().get(), "./files/thumb/1.jpg");
    EXPECT_STREQ(page.attribute("isEncrypted").value(), "false");
}

TEST_F(BookDescription, PagesTellTheirPdfPageAndShownSizeWhenKnown) {
    addPages(3);
    iPages->pages()[0]->setPdfPage(5);
    iPages->pages()[0]->setShownSize(QSizeF(595.276, 841.89));
    iPages->pages()[1]->setShownSize(QSizeF(600, 300));   // an image page: no PDF page
    const auto doc = engine()->bookXML();
    QStringList described;
    for (const auto page : doc->document_element().child("pages").children("page"))
        described << QString("%1 %2x%3").arg(page.attribute("pdfPage").value(), page.attribute("width").value(),
                                             page.attribute("height").value());
    EXPECT_EQ(described, QStringList({"5 595.276x841.89", " 600x300", " x"}));
}

TEST_F(BookDescription, EmptyBookStillHasEveryElement) {
    const auto doc = engine()->bookXML();
    EXPECT_EQ(QString::fromUtf8(Xml::toBytes(doc->document_element().child("pages"), false, false)), "<pages/>");
    EXPECT_TRUE(doc->document_element().child("extConfig") && doc->document_element().child("languages"));
}

TEST_F(BookDescription, SettingsAreAFlatPreOrderListWithFileURLs) {
    const QString logo = iDir.filePath("pictures/logo.PNG");
    writeImage(logo, QSize(4, 4), Qt::red);
    iTemplate->setPropertyValue("logoFile", logo);
    const auto doc = engine()->bookXML();
    QStringList items;
    for (const auto item : doc->document_element().child("extConfig").children("item"))
        items << QString("%1=%2").arg(item.attribute("name").value(), item.text().get());
    EXPECT_EQ(items, QStringList({"book=", "layout=", "pageWidth=600", "pageHeight=800", "isHardCover=NO",
                                  "logoFile=./files/extfiles/logoFile.PNG", "languageSetting=English",
                                  "linkOverColor=#808080", "showDownload=Hide", "downloadURL="}));
}

TEST_F(BookDescription, HardCoverMakesFirstAndLastPagesHard) {
    addPages(1);
    iTemplate->setPropertyValue("isHardCover", "YES");
    EXPECT_EQ(hardFlags(), QStringList({"true"}));
    addPages(3);
    for (const char* yes : {"yes", "Yes", "YES"}) {
        iTemplate->setPropertyValue("isHardCover", yes);
        EXPECT_EQ(hardFlags(), QStringList({"true", "false", "false", "true"})) << yes;
    }
    iTemplate->setPropertyValue("isHardCover", "true");
    EXPECT_EQ(hardFlags(), QStringList({"false", "false", "false", "false"}));
}

// book.bin read with tools of its own: our test RC4 and Python's zipfile.
TEST_F(BookDescription, BookBinOpensWithIndependentTools) {
    addPages(2);
    auto out = engine();
    const QString bookBin = iDir.filePath("out/files/book.bin");
    QDir().mkpath(QFileInfo(bookBin).path());
    TestSupport::writeFile(bookBin, "an older book description that is longer than the new one ........");
    ASSERT_TRUE(out->ouputBookXML(bookBin));
    const QByteArray expectedXML = Xml::toBytes(*out->bookXML());

    const QString zipPath = iDir.filePath("book.zip");
    TestSupport::writeFile(zipPath, PdfFixtures::rc4("qv-bookkey-2009", TestSupport::readFile(bookBin)));
    const auto python = TestSupport::runTool("python3", {"-c",
                             "import sys, zipfile\n"
                             "z = zipfile.ZipFile(sys.argv[1])\n"
                             "assert z.testzip() is None\n"
                             "assert [i.filename for i in z.infolist()] == ['book.xml'], z.namelist()\n"
                             "assert z.infolist()[0].compress_type == zipfile.ZIP_DEFLATED\n"
                             "sys.stdout.buffer.write(z.read('book.xml'))\n",
                             zipPath});
    ASSERT_EQ(python.exitCode, 0) << python.err.toStdString();
    const QByteArray xml = python.out;
    EXPECT_EQ(xml, expectedXML);
    EXPECT_TRUE(xml.contains("\n    <extConfig>"));   // pretty-printed

    // book.js carries the same bytes for pages opened from disk.
    const QByteArray script = TestSupport::readFile(iDir.filePath("out/files/book.js"));
    ASSERT_TRUE(script.startsWith("LEAFMILL_BOOK_BIN=\""));
    const QByteArray base64 = script.mid(script.indexOf('"') + 1, script.lastIndexOf('"') - script.indexOf('"') - 1);
    EXPECT_EQ(QByteArray::fromBase64(base64), TestSupport::readFile(bookBin));
}

TEST_F(BookDescription, DecodingRefusesDamagedDescriptions) {
    addPages(1);
    const QByteArray good = BookDescriptionFile::encode(Xml::toBytes(*engine()->bookXML()));
    QString reason;
    EXPECT_TRUE(BookDescriptionFile::decode(good, &reason));
    for (const QByteArray& bad : {QByteArray(), good.left(good.size() / 2), QByteArray("not a book at all"),
                                  CommonCryptor::RC4EncryptedDataUsingKey(good, QByteArray("wrong-key"))}) {
        reason.clear();
        EXPECT_FALSE(BookDescriptionFile::decode(bad, &reason));
        EXPECT_FALSE(reason.isEmpty());
    }
}
