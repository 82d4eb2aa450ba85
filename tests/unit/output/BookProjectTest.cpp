#include "OutputFixture.h"

#include "annotations/FlashPagesAnnotations.h"
#include "outline/FlashOutline.h"
#include "output/BookProject.h"
#include "output/BookPublisher.h"

using namespace OutputFixture;
using CommonCryptor::RC4EncryptedDataUsingKey;

namespace {
const char* kLinks = "<pagesAnnos><pageAnnos pageIndex=\"1\"><anno annotype=\"link\"><action actionType=\"url\">"
                     "<url>https://example.org/</url></action></anno>"
                     "<anno annotype=\"link\"><action actionType=\"com.vellix.flipbook.pageeditor.TAnnoActionOpenFile\">"
                     "<file>./files/pageConfig/manual.pdf</file></action><location x=\"0.1\" y=\"0.2\" width=\"0.3\" height=\"0.4\"/>"
                     "<tooltip>The manual</tooltip></anno></pageAnnos></pagesAnnos>";
const char* kOutline = "<ols><o><c>Chapter</c><p>1</p><l>1</l><ci><o><c>Section</c><p>2</p><l>2</l></o></ci></o></ols>";

class Reopen : public BookFolder {
protected:
    // A published book of image pages (indices from 1, as image books have) with links and an outline.
    void publishImageBook(int count) {
        for (int i = 1; i <= count; ++i) {
            const QString image = iDir.filePath(QString("images/p%1.jpg").arg(i));
            writeImage(image, QSize(60, 80), QColor::fromHsv(i * 40 % 360, 200, 200));
            iPages->addImgPageFromFile(image);
        }
        iPages->pages()[0]->setPdfPage(5);
        iPages->generateThumbPages();
        setLogo("logo.png");
        iTemplate->setPropertyValue("isHardCover", "YES");
        pugi::xml_document links, outline;
        links.load_string(kLinks);
        outline.load_string(kOutline);
        auto annotations = std::make_shared<FlashPagesAnnotations>();
        annotations->setPagesAnnotationsNode(links.document_element());
        TestSupport::writeFile(iDir.filePath("docs/manual.pdf"), "%PDF");
        annotations->setNeedFiles({iDir.filePath("docs/manual.pdf")});
        auto ols = std::make_shared<FlashOutline>();
        ols->loadFromXMLNode(outline.document_element());
        publish({iPages, iTemplate, ols, annotations}, iOut);
    }

    static void publish(const Book& book, const QString& folder) {
        const PublishResult result = BookPublisher::publish(book, {folder, "index", PublishOptions::Kind::HTML, true});
        EXPECT_TRUE(result.ok()) << result.errorString().toStdString();
    }

    void writeDescription(const QByteArray& xml) {
        TestSupport::writeFile(iOut + "/files/book.bin", BookDescriptionFile::encode(xml));
    }
};
}

// Republished elsewhere, a reopened book is the same book (PDF pages and shown sizes too);
// republished into its own folder, its page files stay where they are.
TEST_F(Reopen, RepublishingGivesTheSameBookAndLeavesPageFilesInPlace) {
    publishImageBook(3);
    const QByteArray first = bookXMLOf(iOut + "/files/book.bin");
    ASSERT_TRUE(first.contains("pdfPage=\"5\" width=\"60\" height=\"80\""));
    // The description is compared as XML: its archive records the time it was written.
    const auto without = [](const QString& folder) {
        auto files = snapshot(folder);
        files.remove("book.bin");
        files.remove("book.js");
        return files;
    };
    const auto before = without(iOut + "/files");
    const ino_t pageInode = inodeOf(iOut + "/files/page/2.jpg");
    BookProject project;
    ASSERT_TRUE(project.loadProjectFromOutputFolder(iOut)) << project.errorString().toStdString();
    EXPECT_EQ(project.book().pageLinks->needFiles(), QStringList({iOut + "/files/pageConfig/manual.pdf"}));

    const QString other = iDir.filePath("other");
    QDir().mkpath(other);
    publish(project.book(), other);
    EXPECT_EQ(bookXMLOf(other + "/files/book.bin"), first);
    EXPECT_TRUE(first.contains("<tooltip>The manual</tooltip>"));
    EXPECT_EQ(without(other + "/files"), before);

    publish(project.book(), iOut);
    EXPECT_EQ(inodeOf(iOut + "/files/page/2.jpg"), pageInode);
    EXPECT_EQ(without(iOut + "/files"), before);
    EXPECT_EQ(bookXMLOf(iOut + "/files/book.bin"), first);
}

// Broken descriptions fail with a reason and change nothing; reading a book never reads, copies or
// waits on anything outside its folder.
TEST_F(Reopen, BrokenOrHostileBooksTakeInNothingFromOutside) {
    publishImageBook(2);
    const QByteArray good = TestSupport::readFile(iOut + "/files/book.bin"), xml = bookXMLOf(iOut + "/files/book.bin");
    const QList<QPair<const char*, QByteArray>> cases = {
        {"truncated", good.left(good.size() / 2)},
        {"garbage", QByteArray(500, 'x')},
        {"wrong key", RC4EncryptedDataUsingKey(RC4EncryptedDataUsingKey(good, QByteArray("qv-bookkey-2009")), QByteArray("other"))},
        {"not xml", BookDescriptionFile::encode("this is not <xml")},
        {"no pages", BookDescriptionFile::encode("<flipbook templateName=\"Tiny\"><extConfig/></flipbook>")},
        {"unknown template", BookDescriptionFile::encode("<flipbook templateName=\"Gone\"><extConfig/><pages/></flipbook>")},
        {"template outside the library", BookDescriptionFile::encode("<flipbook templateName=\"../Templates/Tiny\"><extConfig/><pages/></flipbook>")},
        {"expands a thousandfold", BookDescriptionFile::encode(QByteArray(2 << 20, ' '))},
        {"escaping page", BookDescriptionFile::encode("<flipbook templateName=\"Tiny\"><extConfig/><pages><page>"
                                                      "<normalUrl>./../../etc/passwd</normalUrl><largeUrl>./files/page/1.jpg</largeUrl>"
                                                      "<thumbUrl/></page></pages></flipbook>")},
    };
    for (const auto& [name, bytes] : cases) {
        TestSupport::writeFile(iOut + "/files/book.bin", bytes);
        const auto before = snapshot(iOut);
        BookProject project;
        EXPECT_FALSE(project.loadProjectFromOutputFolder(iOut)) << name;
        EXPECT_FALSE(project.errorString().isEmpty()) << name;
        EXPECT_FALSE(project.book().flashTemplate || project.book().pageSource || project.book().outline) << name;
        EXPECT_EQ(snapshot(iOut), before) << name;
    }
    QFile::remove(iOut + "/files/book.bin");
    BookProject missing;
    EXPECT_FALSE(missing.loadProjectFromOutputFolder(iOut));
    EXPECT_TRUE(missing.errorString().contains("book.bin"));

    const QString secret = iDir.filePath("secret.txt");
    TestSupport::writeFile(secret, "secret");
    for (const char* named : {"/secret.txt", "/../../secret.txt"}) {
        QByteArray hostile = xml;
        hostile.replace("./files/extfiles/logoFile.png", named[1] == '.' ? QByteArray(named + 1) : (iDir.path() + named).toUtf8());
        QFile::remove(iOut + "/files/extfiles/logoFile.png");
        writeDescription(hostile);
        BookProject project;
        ASSERT_TRUE(project.loadProjectFromOutputFolder(iOut)) << project.errorString().toStdString();
        EXPECT_EQ(project.book().flashTemplate->propertyValueFor("logoFile", ""), "") << named;
        EXPECT_EQ(project.warnings().size(), 1) << named;
    }
    writeDescription(xml);
    QFile::link(secret, iOut + "/files/extfiles/logoFile.txt");
    QFile::link(secret, iOut + "/files/pageConfig/stolen.txt");
    BookProject project;
    ASSERT_TRUE(project.loadProjectFromOutputFolder(iOut));
    EXPECT_EQ(project.book().flashTemplate->propertyValueFor("logoFile", ""), "");
    EXPECT_EQ(project.book().pageLinks->needFiles(), QStringList({iOut + "/files/pageConfig/manual.pdf"}));
    EXPECT_EQ(project.warnings().size(), 3) << project.warnings().join("\n").toStdString();   // and the logo is gone

    QFile::remove(iOut + "/files/page/1.jpg");
    QFile::link(secret, iOut + "/files/page/1.jpg");
    EXPECT_FALSE(project.loadProjectFromOutputFolder(iOut));
    EXPECT_TRUE(project.errorString().contains("outside")) << project.errorString().toStdString();

    // A description that is a device, a pipe or too large is refused before it is read.
    const QString bookBin = iOut + "/files/book.bin";
    const std::function<bool()> makers[] = {
        [&] { return QFile::link("/dev/zero", bookBin); },
        [&] { return mkfifo(QFile::encodeName(bookBin).constData(), 0600) == 0; },
        [&] { QFile large(bookBin); return large.open(QIODevice::WriteOnly) && large.resize(BookDescriptionFile::kMaxFileSize + 1); },
    };
    for (const auto& make : makers) {
        QFile::remove(bookBin);
        ASSERT_TRUE(make());
        EXPECT_FALSE(project.loadProjectFromOutputFolder(iOut));
    }
    EXPECT_TRUE(project.errorString().contains("larger")) << project.errorString().toStdString();
}

// Values that make no sense are left out rather than passed on; pages may be movies.
TEST_F(Reopen, HandMadeDescription) {
    writeImage(iOut + "/files/thumb/1.jpg", QSize(10, 10), Qt::blue);
    writeImage(iOut + "/files/mobile/2.jpg", QSize(10, 10), Qt::blue);
    TestSupport::writeFile(iOut + "/files/extfiles/logoFile.gif", "GIF89a");
    writeDescription("<flipbook><extConfig><item name=\"pageWidth\">1234</item><item name=\"logoFile\">"
                     "./files/extfiles/logoFile.gif</item><item name=\"unknownKey\">x</item></extConfig><pages>"
                     "<page pdfPage=\"-3\" width=\"nan\" height=\"9\"><normalUrl>./files/page/1.jpg</normalUrl><largeUrl>./files/page/1.jpg</largeUrl><thumbUrl>./files/thumb/1.jpg</thumbUrl></page>"
                     "<page pdfPage=\"5\" width=\"612\" height=\"793.5\"><normalUrl>./files/page/2.swf</normalUrl><largeUrl>./files/page/2.jpg</largeUrl><thumbUrl>./files/thumb/2.jpg</thumbUrl></page>"
                     "</pages></flipbook>");
    BookProject project;
    ASSERT_TRUE(project.loadProjectFromOutputFolder(iOut)) << project.errorString().toStdString();
    EXPECT_EQ(project.book().flashTemplate->tmplName(), "Neat");   // no templateName attribute
    EXPECT_EQ(project.book().flashTemplate->propertyValueFor("pageWidth", ""), "1234");
    EXPECT_EQ(project.book().flashTemplate->propertyValueFor("logoFile", ""), iOut + "/files/extfiles/logoFile.gif");
    const auto& source = *project.book().pageSource;
    EXPECT_EQ(source.pages()[0]->pdfPage(), 0);
    EXPECT_TRUE(source.pages()[0]->shownSize().isEmpty());
    EXPECT_EQ(source.pages()[1]->pdfPage(), 5);
    EXPECT_EQ(source.pages()[1]->shownSize(), QSizeF(612, 793.5));
    EXPECT_EQ(source.normalPages()[1]->pageFilePath(), iOut + "/files/page/2.swf");
    ASSERT_EQ(source.thumbPages().size(), 1);   // the second thumbnail is missing
    EXPECT_EQ(source.thumbPages()[0]->pageIndex(), 1);
    ASSERT_EQ(source.phonePages().size(), 1);
    EXPECT_EQ(source.phonePages()[0]->pageIndex(), 2);
    EXPECT_FALSE(project.book().outline);
    EXPECT_FALSE(project.book().pageLinks);

    // Reopening again starts from empty fields.
    QFile::remove(iOut + "/files/book.bin");
    EXPECT_FALSE(project.loadProjectFromOutputFolder(iOut));
    EXPECT_FALSE(project.book().flashTemplate);
}
