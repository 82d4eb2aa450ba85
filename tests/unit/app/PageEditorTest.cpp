// The page editor's window: the three operations its page may call, what they do to the book's
// links, outline and files/pageConfig/, and a page that tries to reach anything else.
#include "AppTestSupport.h"
#include "app/PageEditorWindowController.h"
#include "annotations/FlashPagesAnnotations.h"
#include "outline/FlashOutline.h"
#include "util/Xml.h"

#include <QPointer>
#include <QWebChannel>

using AppTestSupport::evaluate;
using AppTestSupport::waitFor;

namespace {

const QString kSplit = QStringLiteral("_$Split$_");
const QString kLinks = QStringLiteral(
    "<pagesAnnos><pageAnnos pageIndex=\"1\"><anno annotype=\"com.vellix.flipbook.pageeditor.TAnnoLink\">"
    "<action actionType=\"com.vellix.flipbook.pageeditor.TAnnoActionShowImage\"><file>./files/pageConfig/a.png</file></action>"
    "<location x=\"0.1\" y=\"0.1\" width=\"0.2\" height=\"0.2\"/><tooltip>A picture</tooltip></anno></pageAnnos></pagesAnnos>");
const QString kOutline = QStringLiteral("<ols><o><c>Renamed</c><p>2</p><l>2</l><ci><o><c>Indented</c><p>3</p><l>3</l></o></ci></o></ols>");

// A stand-in for the bundled editor page: it records what the window hands it.
const QByteArray kTestPage = R"(<!doctype html><meta charset="utf-8"><body>
<script src="qrc:///qtwebchannel/qwebchannel.js"></script><script>
window.books = []; window.selected = [];
function initBookXML(xml) { books.push(xml); }
function onSelectedFiles() { selected.push(Array.from(arguments)); }
new QWebChannel(qt.webChannelTransport, function (channel) { window.connector = channel.objects.connector; });
</script></body>)";

class PageEditor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(iDir.isValid());
        QDir().mkpath(pageConfig());
        TestSupport::writeFile(pageConfig() + "/a.png", "picture");
        TestSupport::writeFile(pageConfig() + "/b.swf", "movie");
    }
    QString pageConfig() const { return iDir.filePath("files/pageConfig"); }
    std::unique_ptr<PageEditorWindowController> makeEditor(const QString& bookXML = QStringLiteral("<flipbook/>")) {
        auto editor = std::make_unique<PageEditorWindowController>(bookXML, iDir.path(), iLinks);
        TestSupport::writeFile(editor->htmlPath(), kTestPage);
        return editor;
    }
    QString linksXML() const {
        return QString::fromUtf8(Xml::toBytes(iLinks->pagesAnnotationsNode(), false, false));
    }

    QTemporaryDir iDir;
    std::shared_ptr<FlashPagesAnnotations> iLinks = std::make_shared<FlashPagesAnnotations>();
};

}

TEST_F(PageEditor, SaveTextRules) {
    const QString before = QStringLiteral("<pagesAnnos />");
    // needFiles: names inside files/pageConfig
    const struct { QString saveText; bool linksTaken; QStringList needFiles; bool closes, outlineTaken; } cases[] = {
        {kLinks, false, {}, false, false},                                               // no separator
        {kLinks + kSplit + "a.png>>b.swf", true, {"a.png", "b.swf"}, false, false},
        {kLinks + kSplit + "x>./files/pageConfig/a.png" + kSplit + "EXIT", true, {"a.png"}, true, false},
        {kLinks + kSplit + kSplit + "exit", true, {}, false, false},
        {kLinks + kSplit + kSplit + "EXIT" + kSplit + kSplit + "x", true, {}, false, false},   // five parts
        {"<pagesAnnos" + kSplit + "a.png" + kSplit + "EXIT", false, {}, false, false},   // not XML: nothing, not even EXIT
        {kLinks + kSplit + "../../etc/passwd>..>/etc/hosts>missing.png>http://x.org/b.swf", true, {"b.swf"}, false, false},
        {kLinks + kSplit + kSplit + "EXIT" + kSplit + kOutline, true, {}, true, true},
        {kLinks + kSplit + kSplit + kSplit + QString(kOutline).replace("ols>", "outline>"), true, {}, false, true},
        {kLinks + kSplit + kSplit + kSplit + "<ols><o>", true, {}, false, false},
        {kLinks + kSplit + kSplit + kSplit, true, {}, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.saveText.toStdString());
        iLinks->setPagesAnnotationsNode({});
        iLinks->setNeedFiles({});
        const auto editor = makeEditor();
        editor->show();
        editor->saveFlipPageEditorXML(c.saveText);
        EXPECT_EQ(linksXML().isEmpty(), !c.linksTaken);
        if (c.linksTaken) EXPECT_TRUE(linksXML().contains("./files/pageConfig/a.png")) << linksXML().toStdString();
        QStringList expected;
        for (const QString& name : c.needFiles) expected << pageConfig() + '/' + name;
        EXPECT_EQ(iLinks->needFiles(), expected);
        EXPECT_EQ(editor->isVisible(), !c.closes);
        EXPECT_EQ(editor->savedOutline() != nullptr, c.outlineTaken);
        if (c.outlineTaken) EXPECT_EQ(editor->savedOutline()->items().value(0)->childItems().size(), 1);
    }
    // Saving twice names each file once.
    const auto editor = makeEditor();
    editor->saveFlipPageEditorXML(kLinks + kSplit + "a.png");
    editor->saveFlipPageEditorXML(kLinks + kSplit + "a.png");
    EXPECT_EQ(iLinks->needFiles(), QStringList{pageConfig() + "/a.png"});
}

TEST_F(PageEditor, ThePageGetsTheBookAndChosenFilesAndReachesNothingElse) {
    const QString bookXML = QStringLiteral("<flipbook title=\"a &quot;quoted&quot; </script> title\"/>");
    const auto editor = makeEditor(bookXML);
    TestSupport::writeFile(iDir.filePath("elsewhere/a.png"), "another picture");
    TestSupport::writeFile(iDir.filePath("elsewhere/new.png"), "new picture");
    editor->setFileChooser([&](const QString&, const QStringList&) {
        return QStringList{iDir.filePath("elsewhere/new.png"), iDir.filePath("elsewhere/a.png")};
    });
    editor->windowDidLoad();
    editor->show();
    EXPECT_TRUE(editor->isFullScreen());
    EXPECT_EQ(editor->windowModality(), Qt::ApplicationModal);
    QWebEngineView* view = editor->webView();
    ASSERT_TRUE(waitFor([&] { return evaluate(view, "books.length").toInt() == 1; }));
    EXPECT_EQ(evaluate(view, "books[0]").toString(), bookXML);
    ASSERT_TRUE(waitFor([&] { return evaluate(view, "!!window.connector").toBool(); }));

    evaluate(view, "connector.toSelecteFiiles_('Pictures|*.png;*.gif')");
    ASSERT_TRUE(waitFor([&] { return evaluate(view, "selected.length").toInt() == 1; }));
    EXPECT_EQ(evaluate(view, "selected[0]").toStringList(),
              QStringList({"./files/pageConfig/new.png", "./files/pageConfig/a.png"}));
    EXPECT_EQ(TestSupport::readFile(pageConfig() + "/new.png"), "new picture");
    EXPECT_EQ(TestSupport::readFile(pageConfig() + "/a.png"), "picture");   // the file already there stays

    const QPointer<QObject> connector = view->page()->webChannel()->registeredObjects().value("connector");
    const QVariantMap probe = AppTestSupport::probeConnector(view, 3);
    EXPECT_EQ(probe.value("members").toStringList(),
              QStringList({"exitWithoutSave_", "saveFlipPageEditorXML_", "toSelecteFiiles_"}));
    EXPECT_EQ(probe.value("answered").toStringList(), QStringList());
    EXPECT_TRUE(connector && connector->objectName().isEmpty());
    EXPECT_TRUE(editor->isVisible());

    evaluate(view, "window.stale = true");
    view->reload();   // every load gets the book
    ASSERT_TRUE(waitFor([&] {
        return evaluate(view, "!window.stale && books.length === 1 && !!window.connector").toBool();
    }));
}
