#include "CliTestSupport.h"

#include "cli/CliError.h"

#include <QImage>

using namespace CliTest;

// A PDF published with its options, then republished elsewhere, as a ZIP and as an application bundle.
TEST_F(Cli, PublishesAPDFAndRepublishesItEveryWay) {
    const QString out = path("book");
    const Result r = run({"publish", iSample, "-o", out, "--pages", "1-4", "--mobile", "--links", "--bookmarks",
                          "--title", "Sample", "--set", "isHardCover=YES", "--theme", "Ocean"});
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), out + "/index.html");
    for (const char* file : {"index.html", "book.swf", "files/book.bin", "files/book.js", "files/page/0.jpg",
                             "files/page/3.jpg", "files/thumb/3.jpg", "files/mobile/3.jpg", "mobile/index.html"})
        EXPECT_TRUE(QFileInfo(out + "/" + file).isFile()) << file;
    const QByteArray xml = bookXML(out);
    // the PDF's page size, its outline and links
    for (const char* part : {"count=\"4\"", "<item name=\"isHardCover\">YES</item>", "<item name=\"pageWidth\">612</item>",
                             "<ols>", "<pagesAnnos>"})
        EXPECT_TRUE(xml.contains(part)) << part;
    EXPECT_TRUE(TestSupport::readFile(out + "/index.html").contains("<title>Sample</title>"));

    // Republished elsewhere, the zoom pictures and page texts come along unchanged.
    const auto zoomAndText = [](const QString& book) {
        return snapshot(book + "/files/large").values() + snapshot(book + "/files/text").values() +
               snapshot(book + "/files/search").values();
    };
    ASSERT_EQ(zoomAndText(out).size(), 9);
    const Result elsewhere = run({"reopen", out, "-o", path("copy")});
    ASSERT_EQ(elsewhere.code, 0) << elsewhere.err.toStdString();
    EXPECT_EQ(zoomAndText(path("copy")), zoomAndText(out));
    EXPECT_EQ(bookXML(path("copy")), xml);

    const Result zip = run({"reopen", out, "-o", path("delivery"), "--kind", "zip", "--name", "mybook", "--theme", "Sunset"});
    ASSERT_EQ(zip.code, 0) << zip.err.toStdString();
    EXPECT_EQ(zip.out.trimmed(), path("delivery/mybook.zip"));
    EXPECT_EQ(TestSupport::runTool("unzip", {"-t", path("delivery/mybook.zip")}).exitCode, 0);
    const Result app = run({"reopen", out, "-o", path("apps"), "--kind", "app", "--mobile"});
    ASSERT_EQ(app.code, 0) << app.err.toStdString();
    EXPECT_TRUE(QFileInfo(path("apps/book.app/Contents/Resources/files/book.bin")).isFile());
    EXPECT_FALSE(QFileInfo::exists(path("apps/book.app/Contents/Resources/mobile")));   // no mobile version in a bundle
}

// The page picture's longer side follows the quality, given by number or name; the zoom picture
// has twice its pixels unless the options turn it off.
TEST_F(Cli, PagePicturesFollowTheQualityAndTheZoomOption) {
    const struct {
        QStringList options;
        int longerSide;
        bool zoom;
    } cases[] = {{{"--quality", "best"}, 1440, true}, {{"--quality", "0"}, 1440, true}, {{"--quality", "Medium"}, 1200, true},
                 {{"--quality", "4"}, 600, true}, {{"--quality", "smallest", "--no-zoom-pages"}, 600, false}};
    for (const auto& c : cases) {
        const QString out = path(c.options.join(""));
        const Result r = run(QStringList{"publish", iSample, "-o", out, "--pages", "2", "--quiet"} + c.options);
        ASSERT_EQ(r.code, 0) << c.options.join(' ') << r.err;
        const QSize size = QImage(out + "/files/page/0.jpg").size();
        EXPECT_EQ(qMax(size.width(), size.height()), c.longerSide) << c.options.join(' ');
        const QString xml = QString::fromUtf8(bookXML(out));
        EXPECT_EQ(xml.contains("<largeUrl>./files/large/0.jpg</largeUrl>"), c.zoom) << xml;
        EXPECT_EQ(xml.contains("<largeUrl>./files/page/0.jpg</largeUrl>"), !c.zoom);
        EXPECT_TRUE(xml.contains("textUrl=\"./files/text/0.js\""));
        EXPECT_EQ(QFileInfo::exists(out + "/files/large"), c.zoom);
        if (c.zoom)
            EXPECT_EQ(QImage(out + "/files/large/0.jpg").size(), size * 2);
    }
    for (const QStringList& bad : {QStringList{"--quality", "lowest"}, QStringList{"--zoom-pages", "--no-zoom-pages"}})
        EXPECT_EQ(run(QStringList{"publish", iSample, "-o", path("bad")} + bad).code, kExitUsage) << bad.join(' ');
}

// A book of pictures. Reopened with a page file gone, the missing file is listed and the rest written.
TEST_F(Cli, PublishesABookOfPicturesAndListsPageFilesMissingAtReopen) {
    for (int i = 1; i <= 2; ++i)
        ASSERT_TRUE(TestSupport::writeImage(path(QString("img%1.png").arg(i)), {300, 400}, i == 1 ? Qt::darkGreen : Qt::darkRed));
    const QString out = path("pictures");
    const Result r = run({"publish", path("img1.png"), path("img2.png"), "-o", out, "--mobile", "--template", "Neat"});
    ASSERT_EQ(r.code, 0) << r.err;
    for (const char* part : {"templateName=\"Neat\"", "<item name=\"pageHeight\">400</item>", "./files/page/2."})
        EXPECT_TRUE(bookXML(out).contains(part)) << part;
    EXPECT_TRUE(QFileInfo(out + "/mobile/index.html").isFile());

    const QStringList pages = QDir(out + "/files/page").entryList(QDir::Files, QDir::Name);
    ASSERT_EQ(pages.size(), 2);
    QFile::remove(out + "/files/page/" + pages[0]);
    const Result again = run({"reopen", out, "-o", path("copy")});
    EXPECT_EQ(again.code, kExitFailed);
    EXPECT_TRUE(again.err.contains(out + "/files/page/" + pages[0])) << again.err;
    EXPECT_TRUE(QFileInfo(path("copy/files/book.bin")).isFile());
    EXPECT_TRUE(QFileInfo(path("copy/files/page/" + pages[1])).isFile());
}

TEST_F(Cli, SettingsAndThemesTravelThroughFiles) {
    const Result exported = run({"settings-export", "-o", path("mine"), "--theme", "Ocean", "--set", "isHardCover=YES"});
    ASSERT_EQ(exported.code, 0) << exported.err.toStdString();
    EXPECT_TRUE(TestSupport::readFile(path("mine.txt")).contains("isHardCover=YES"));

    const Result imported = run({"settings-import", path("mine.txt"), "--template", "Float", "--name", "Hard"});
    ASSERT_EQ(imported.code, 0) << imported.err.toStdString();
    EXPECT_TRUE(run({"templates"}).out.contains("Hard"));
    ASSERT_EQ(run({"publish", iSample, "-o", path("hard"), "--pages", "1", "--theme", "Hard"}).code, 0);
    EXPECT_TRUE(bookXML(path("hard")).contains("<item name=\"isHardCover\">YES</item>"));

    const Result theme = run({"theme-export", "-o", path("Mine.thm"), "--book", path("hard")});
    ASSERT_EQ(theme.code, 0) << theme.err.toStdString();
    const Result installed = run({"theme-import", path("Mine.thm")});
    EXPECT_EQ(installed.code, 0) << installed.err.toStdString();
    EXPECT_TRUE(run({"templates"}).out.contains("Mine"));
}
