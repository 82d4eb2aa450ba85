#include "OutputFixture.h"

#include "annotations/FlashPagesAnnotations.h"
#include "output/BookProject.h"
#include "output/BookPublisher.h"
#include "output/FlashBookOutputApp.h"
#include "util/AppInfo.h"
#include "util/Xml.h"

#include <QUrl>

using namespace OutputFixture;

using PublishFolder = BookFolder;
using BookDescription = BookFolder;

TEST_F(PublishFolder, WritesTheBookLayout) {
    addPages(3);
    setLogo("logo.PNG");
    auto links = std::make_shared<FlashPagesAnnotations>();
    TestSupport::writeFile(iDir.filePath("docs/manual.pdf"), "%PDF");
    links->setNeedFiles({iDir.filePath("docs/manual.pdf"), iDir.filePath("docs/gone.pdf")});
    auto e = engine();
    e->setFlashPagesAnnotations(links);
    e->ouputTheBook();

    EXPECT_TRUE(e->failures().isEmpty()) << e->failures().join("\n").toStdString();
    for (const char* file : {"mybook.html", "book.swf", "files/book.bin", "files/book.js", "files/page/0.swf",
                             "files/page/2.swf", "files/thumb/0.jpg", "files/thumb/2.jpg",
                             "files/extfiles/logoFile.PNG", "files/pageConfig/manual.pdf"})
        EXPECT_TRUE(QFileInfo(out(file)).isFile()) << file;
    EXPECT_FALSE(QFileInfo::exists(out("files/pageConfig/gone.pdf")));
    EXPECT_EQ(TestSupport::readFile(out("files/page/1.swf")), "FWS page 1");
    // Without an HTML configuration the template page is copied byte for byte; with one it is filled.
    EXPECT_EQ(TestSupport::readFile(out("mybook.html")), kTemplatePage);
    auto config = std::make_shared<HTMLConfigInfo>();
    config->setHTMLTitle("My Book");
    config->setHTMLScript("<script>go()</script>");
    e->setHTMLConfig(config);
    e->ouputTheBook();
    EXPECT_EQ(TestSupport::readFile(out("mybook.html")), "<html><title>My Book</title>\n<body><script>go()</script></body></html>\n");

    FlashBookOutput(iPages, iTemplate, iDir.filePath("nowhere"), "mybook").ouputTheBook();
    EXPECT_FALSE(QFileInfo::exists(iDir.filePath("nowhere")));
}

TEST_F(PublishFolder, SwfPagesGetTheirJpegBesideThem) {
    addPages(3);
    ASSERT_TRUE(writeImage(iDir.filePath("bitmap.jpg"), {8, 6}, Qt::black));
    const QByteArray jpeg = TestSupport::readFile(iDir.filePath("bitmap.jpg"));
    for (int i : {0, 2})   // page 1 stays a movie without a bitmap
        TestSupport::writeFile(iPages->normalPages()[i]->pageFilePath(), movieWithJpeg(jpeg));
    for (int round = 0; round < 2; ++round) {   // the second publication finds the images in place
        auto e = engine();
        e->ouputTheBook();
        EXPECT_TRUE(e->failures().isEmpty());
        EXPECT_EQ(TestSupport::readFile(out("files/page/0.jpg")) + TestSupport::readFile(out("files/page/2.jpg")), jpeg + jpeg);
        EXPECT_FALSE(QFileInfo::exists(out("files/page/1.jpg")));
        const QByteArray xml = bookXMLOf(out("files/book.bin"));
        EXPECT_EQ(xml.count("imageUrl"), 2) << round;
        EXPECT_TRUE(xml.contains("imageUrl=\"./files/page/2.jpg\""));
    }
}

TEST_F(PublishFolder, HTMLPageNames) {
    EXPECT_EQ(engine("mybook")->outputHTMLFileName(), out("mybook.html"));
    EXPECT_EQ(engine("mybook.html")->outputHTMLFileName(), out("mybook.html"));
    EXPECT_EQ(engine("mybook.HTML")->outputHTMLFileName(), out("mybook.HTML.html"));
    EXPECT_EQ(engine("")->outputHTMLFileName(), out("index.html"));
}

TEST_F(PublishFolder, PhonePagesIdenticalToTheirPagesAreStoredOnce) {
    for (int i = 0; i < 3; ++i) {
        const QString page = iDir.filePath(QString("source/page-%1.jpg").arg(i));
        writeImage(page, QSize(30, 40), QColor::fromHsv(i * 50, 200, 200));
        QString phone = iDir.filePath(QString("source/phone-%1.jpg").arg(i));
        if (i == 0)
            phone = page;                                      // one record for both
        else if (i == 1)
            QFile::copy(page, phone);                          // the same bytes in another file
        else
            writeImage(phone, QSize(15, 20), Qt::gray);       // a phone page of its own
        iPages->pages().append(std::make_shared<FlashPageImage>(page, i));
        iPages->normalPages().append(std::make_shared<FlashPageImage>(page, i));
        iPages->phonePages().append(std::make_shared<FlashPageImage>(phone, i));
    }
    auto e = engine();
    e->setOuputTheMobileFiles(true);
    for (int round = 0; round < 2; ++round) {
        e->ouputTheBook();
        EXPECT_TRUE(e->failures().isEmpty());
        EXPECT_TRUE(OutputFiles::isSameFile(out("files/mobile/0.jpg"), out("files/page/0.jpg")));
        EXPECT_TRUE(OutputFiles::isSameFile(out("files/mobile/1.jpg"), out("files/page/1.jpg")));
        EXPECT_FALSE(OutputFiles::isSameFile(out("files/mobile/2.jpg"), out("files/page/2.jpg")));
        EXPECT_EQ(QImage(out("files/mobile/2.jpg")).size(), QSize(15, 20));
    }
}

TEST_F(PublishFolder, DownloadButtonWithoutAddressOffersTheBooksDocument) {
    addPages(1);
    // offered: the description's downloadFile
    const struct { const char *shown, *address, *document, *offered; } cases[] = {
        {"Show", "", "guide.pdf", "./files/guide.pdf"}, {"YES", "", "my guide.pdf", "./files/my%20guide.pdf"},
        {"Show", "", "book.bin", "./files/download-book.bin"},
        {"Show", "", ".hidden.pdf", "./files/download-.hidden.pdf"},
        {"Show", "https://example.org/guide.pdf", "guide.pdf", ""}, {"Hide", "", "guide.pdf", ""}, {"Show", "", "", ""},
    };
    for (const auto& c : cases) {
        const QString document = QString(c.document).isEmpty() ? QString() : iDir.filePath(QString("docs/") + c.document);
        if (!document.isEmpty())
            TestSupport::writeFile(document, "%PDF-1.4 guide");
        iPages->setSourceFile(document);
        iTemplate->setPropertyValue("showDownload", c.shown);
        iTemplate->setPropertyValue("downloadURL", c.address);
        QDir(iOut).removeRecursively();
        QDir().mkpath(iOut);
        auto e = engine();
        e->ouputTheBook();
        EXPECT_TRUE(e->failures().isEmpty()) << c.document;
        pugi::xml_document doc;
        doc.load_string(bookXMLOf(out("files/book.bin")).constData());
        EXPECT_STREQ(doc.document_element().attribute("downloadFile").value(), c.offered) << c.document;
        const QStringList files = QDir(out("files")).entryList({"*.pdf", "download-*"}, QDir::Files | QDir::Hidden);
        if (!*c.offered) {
            EXPECT_EQ(files, QStringList()) << c.document;
            continue;
        }
        const QString copy = out(QUrl::fromPercentEncoding(QByteArray(c.offered).mid(2)));
        EXPECT_EQ(files, QStringList(QFileInfo(copy).fileName()));
        // The reopened book's document is the copy, so publishing it again takes it along.
        BookProject project;
        ASSERT_TRUE(project.loadProjectFromOutputFolder(iOut));
        EXPECT_EQ(project.book().pageSource->sourceFile(), copy);
    }
}

// The front ends' one call: every kind names its result and holds the book, the page texts and
// the chosen mobile template (its numbers with a decimal point) reach it, a bundle never holds the
// mobile version, what was in the way is replaced (the mobile folder completely) and an archive
// leaves nothing beside it.
TEST_F(PublishFolder, OnePublishCallForEveryKind) {
    addPages(2, true);
    iTemplate->setPropertyValue("pageWidth", "1024,5");
    TestSupport::writeFile(out("zip/book.zip"), "not a zip archive");
    TestSupport::writeFile(out("app/book.app/Contents/old-file"), "old");
    TestSupport::writeFile(out("html/mobile/added-by-hand.txt"), "x");
    const struct {
        PublishOptions::Kind kind;
        const char *name, *result;
        QStringList files;   // beside or inside the result
    } cases[] = {
        {PublishOptions::Kind::HTML, "book", "html/book.html", {"files/book.bin", "files/page/1.swf", "mobile/index.html"}},
        {PublishOptions::Kind::App, "book.html", "app/book.app",
         {"book.app/Contents/Info.plist", "book.app/Contents/Resources/index.html", "book.app/Contents/Resources/files/page/1.swf"}},
        {PublishOptions::Kind::Zip, "book.zip", "zip/book.zip", {}},
    };
    for (const auto& c : cases) {
        PublishOptions options{QFileInfo(out(c.result)).path(), c.name, c.kind, true, "Slide"};
        options.pageInfo.setHTMLTitle("Shown Title");
        const PublishResult result = BookPublisher::publish({iPages, iTemplate}, options);
        EXPECT_TRUE(result.ok()) << result.errorString().toStdString();
        EXPECT_EQ(result.outputFile, out(c.result));
        for (const QString& file : c.files)
            EXPECT_TRUE(QFileInfo(options.folder + "/" + file).isFile()) << file.toStdString();
    }
    EXPECT_TRUE(TestSupport::readFile(out("html/book.html")).contains("Shown Title"));
    EXPECT_EQ(TestSupport::readFile(out("html/mobile/index.html")),
              "var o={pageWidth:1024.5,pageHeight:800,totalPage:2,zoomPageDir:\"../files/mobile/\",normalPageDir:\"../files/mobile/\"};");
    EXPECT_EQ(engine()->mobileConfigScript("Flip").split('\n')[1], "bookConfig.largePageWidth=\"1024.5\";");
    EXPECT_FALSE(QFileInfo::exists(out("html/mobile/added-by-hand.txt")));
    EXPECT_TRUE(QFileInfo(out("app/book.app/Contents/MacOS/LeafMillBook")).isExecutable());
    EXPECT_FALSE(QFileInfo::exists(out("app/book.app/Contents/old-file")));
    EXPECT_FALSE(QFileInfo::exists(out("app/book.app/Contents/Resources/mobile")));
    EXPECT_EQ(FlashBookOutputApp::bundleNameFor("../../mybook.html"), "mybook.app");

    EXPECT_EQ(QDir(out("zip")).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList("book.zip"));
    EXPECT_FALSE(QFileInfo::exists(AppInfo::shareInstance().appWorkdTmpFolder() + "/output"));
    EXPECT_EQ(TestSupport::runTool("unzip", {"-tq", out("zip/book.zip")}).exitCode, 0);
    const auto listing = TestSupport::runTool("unzip", {"-Z1", out("zip/book.zip")});
    const QStringList entries = QString::fromUtf8(listing.out).split('\n', Qt::SkipEmptyParts);
    for (const char* entry : {"index.html", "book.swf", "files/book.bin", "files/page/1.swf", "mobile/index.html"})
        EXPECT_TRUE(entries.contains(entry)) << entry;
}

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
    setLogo("logo.PNG");
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
        const auto xml = engine()->bookXML();
        for (const auto page : xml->document_element().child("pages").children("page"))
            flags += page.attribute("isHardPage").value()[0];
        EXPECT_EQ(flags, c.flags) << c.setting;
    }
}

// book.bin read by Python alone: an RC4 of its own and its zipfile.
TEST_F(BookDescription, BookBinOpensWithIndependentTools) {
    addPages(2);
    auto out = engine();
    const QString bookBin = iDir.filePath("out/files/book.bin");
    TestSupport::writeFile(bookBin, "an older book description that is longer than the new one ........");
    ASSERT_TRUE(out->ouputBookXML(bookBin));
    const QByteArray expectedXML = Xml::toBytes(*out->bookXML());

    const auto python = TestSupport::runTool("python3", {"-c",
                             "import io, sys, zipfile\n"
                             "key, s, j = b'qv-bookkey-2009', list(range(256)), 0\n"
                             "for i in range(256): j = (j + s[i] + key[i % len(key)]) % 256; s[i], s[j] = s[j], s[i]\n"
                             "plain, i, j = bytearray(), 0, 0\n"
                             "for b in open(sys.argv[1], 'rb').read():\n"
                             "    i = (i + 1) % 256; j = (j + s[i]) % 256; s[i], s[j] = s[j], s[i]\n"
                             "    plain.append(b ^ s[(s[i] + s[j]) % 256])\n"
                             "z = zipfile.ZipFile(io.BytesIO(plain))\n"
                             "assert z.testzip() is None\n"
                             "assert [i.filename for i in z.infolist()] == ['book.xml'], z.namelist()\n"
                             "assert z.infolist()[0].compress_type == zipfile.ZIP_DEFLATED\n"
                             "sys.stdout.buffer.write(z.read('book.xml'))\n",
                             bookBin});
    ASSERT_EQ(python.exitCode, 0) << python.err.toStdString();
    EXPECT_EQ(python.out, expectedXML);
}
