#include "OutputFixture.h"

#include "util/Xml.h"

using namespace OutputFixture;

using BookDescription = BookFolder;

// The whole description of a small book (its languages aside): root attributes, settings as a
// flat pre-order list with file URLs, pages by index with their PDF page and shown size when known.
TEST_F(BookDescription, SmallAndEmptyBooksAreDescribedWhole) {
    const auto described = [&] {
        const auto doc = engine()->bookXML();
        pugi::xml_node root = doc->document_element();
        EXPECT_TRUE(root.child("languages").first_child());
        root.remove_child("languages");
        return QString::fromUtf8(Xml::toBytes(root, false, false));
    };
    EXPECT_TRUE(described().endsWith("</extConfig><pages/></flipbook>"));
    addPages(3);
    iPages->pages()[0]->setPdfPage(5);
    iPages->pages()[0]->setShownSize(QSizeF(595.276, 841.89));
    iPages->pages()[1]->setShownSize(QSizeF(600, 300));   // an image page: no PDF page
    const QString logo = iDir.filePath("pictures/logo.PNG");
    writeImage(logo, QSize(4, 4), Qt::red);
    iTemplate->setPropertyValue("logoFile", logo);
    const char* page = "<page isHardPage=\"false\" isEncrypted=\"false\"%1><normalUrl>./files/page/%2.swf</normalUrl>"
                       "<largeUrl>./files/page/%2.swf</largeUrl><thumbUrl>./files/thumb/%2.jpg</thumbUrl></page>";
    EXPECT_EQ(described(),
              "<flipbook count=\"3\" appAppShortName=\"pt\" appAppName=\"Leaf Mill for Mac\" appAppVersion=\"1.0.0\" "
              "appWebsite=\"https://leafmill.example.org/\" templateValidCode=\"Tiny\" e=\"noext\" templateName=\"Tiny\">"
              "<extConfig><item name=\"book\"/><item name=\"layout\"/><item name=\"pageWidth\">600</item>"
              "<item name=\"pageHeight\">800</item><item name=\"isHardCover\">NO</item>"
              "<item name=\"logoFile\">./files/extfiles/logoFile.PNG</item><item name=\"languageSetting\">English</item>"
              "<item name=\"linkOverColor\">#808080</item><item name=\"showDownload\">Hide</item><item name=\"downloadURL\"/>"
              "</extConfig><pages>" +
                  QString(page).arg(" pdfPage=\"5\" width=\"595.276\" height=\"841.89\"", "0") +
                  QString(page).arg(" width=\"600\" height=\"300\"", "1") + QString(page).arg("", "2") + "</pages></flipbook>");
}

// A hard cover makes the first and the last page hard; only "yes" in any case turns it on.
TEST_F(BookDescription, HardCoverMakesFirstAndLastPagesHard) {
    const struct { int pages; const char* setting; const char* flags; } cases[] = {
        {1, "YES", "t"}, {3, "yes", "tfft"}, {0, "Yes", "tfft"}, {0, "true", "ffff"}};
    for (const auto& c : cases) {
        addPages(c.pages);
        iTemplate->setPropertyValue("isHardCover", c.setting);
        QString flags;
        for (const auto page : engine()->bookXML()->document_element().child("pages").children("page"))
            flags += page.attribute("isHardPage").value()[0];
        EXPECT_EQ(flags, c.flags) << c.setting;
    }
}

// book.bin read with tools of its own: our test RC4 and Python's zipfile.
TEST_F(BookDescription, BookBinOpensWithIndependentTools) {
    addPages(2);
    auto out = engine();
    const QString bookBin = iDir.filePath("out/files/book.bin");
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
    EXPECT_EQ(python.out, expectedXML);
}
