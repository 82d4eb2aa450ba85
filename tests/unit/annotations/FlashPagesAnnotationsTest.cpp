#include "annotations/FlashPagesAnnotations.h"
#include "util/NamedException.h"
#include "util/Xml.h"

#include <gtest/gtest.h>

namespace {
const QString kGotoPage7 = QStringLiteral(
    "[{annotype:\"com.vellix.flipbook.pageeditor.TAnnoLink\",action:{triggerEventType:\"mouseDown\","
    "actionType:\"com.vellix.flipbook.pageeditor.TAnnoActionGotoPage\",pageIndex:\"7\"},"
    "location:{x:\"0.100000\",y:\"0.200000\",width:\"0.300000\",height:\"0.050000\"}}]");

const QByteArray kTwoPages =
    "<pagesAnnos><pageAnnos pageIndex=\"1\"><anno annotype=\"com.vellix.flipbook.pageeditor.TAnnoLink\">"
    "<action triggerEventType=\"mouseDown\" actionType=\"com.vellix.flipbook.pageeditor.TAnnoActionGotoPage\">"
    "<pageIndex>7</pageIndex></action>"
    "<location x=\"0.100000\" y=\"0.200000\" width=\"0.300000\" height=\"0.050000\"/></anno></pageAnnos>"
    "<pageAnnos pageIndex=\"2\"/></pagesAnnos>";

// The script form of the page links read from `xml` (which they keep a copy of), or the name
// of the refusal.
QString scriptOf(const QByteArray& xml) {
    FlashPagesAnnotations annotations;
    {
        pugi::xml_document doc;
        EXPECT_TRUE(Xml::load(doc, xml).ok) << xml.left(80).constData();
        annotations.setPagesAnnotationsNode(doc.document_element());
    }
    try {
        return annotations.AnnosXML2JS();
    } catch (const NamedException& e) {
        return e.name();
    }
}

// The conversion of the first element inside a wrapper.
QString elementScript(const QByteArray& xml) {
    pugi::xml_document doc;
    EXPECT_TRUE(Xml::loadStrict(doc, xml).ok) << xml.constData();
    return FlashPagesAnnotations::ParseXML2JS(doc.document_element().first_child());
}
}

TEST(AnnosXML2JS, PagesBecomeArraysOfLinkObjectsOrAreRefused) {
    pugi::xml_document compact;
    ASSERT_TRUE(Xml::loadStrict(compact, kTwoPages).ok);
    const struct { QByteArray xml; QString script; } cases[] = {
        {kTwoPages, QStringLiteral("[%1,[]];").arg(kGotoPage7)},
        // a reopened book's description was written pretty-printed and is read keeping white space
        {Xml::toBytes(compact, true, true), QStringLiteral("[%1,[]];").arg(kGotoPage7)},
        {"<pagesAnnos><pageAnnos pageIndex=\"1\"><anno annotype=\"T\"><action actionType=\"U\"><url>http://x.org/?a=1&amp;b=2</url>"
         "</action><location x=\"0\"/></anno><anno annotype=\"T\"><action actionType=\"G\"><pageIndex>3</pageIndex></action>"
         "<location x=\"1\"/></anno></pageAnnos></pagesAnnos>",
         "[[{annotype:\"T\",action:{actionType:\"U\",url:\"http://x.org/?a=1&b=2\"},location:{x:\"0\"}},"
         "{annotype:\"T\",action:{actionType:\"G\",pageIndex:\"3\"},location:{x:\"1\"}}]];"},
        {"<pagesAnnos/>", "[];"},
        // hostile nesting is refused, and the depth count recovers after the refusal
        {"<pagesAnnos><pageAnnos><anno>" + QByteArray("<a>").repeated(50000) + QByteArray("</a>").repeated(50000) +
             "</anno></pageAnnos></pagesAnnos>",
         "ERROR_PAGES_ANNOTATIONS"},
        {kTwoPages, QStringLiteral("[%1,[]];").arg(kGotoPage7)},
        // the page editor's kinds: a file in files/pageConfig/ and a tooltip after the location
        {"<pagesAnnos><pageAnnos pageIndex=\"1\"><anno annotype=\"T\"><action actionType=\"V\"><file>./files/pageConfig/a.mp4</file>"
         "</action><location x=\"0\"/><tooltip>Say \"hi\" &lt;/script&gt;\n'x'</tooltip></anno></pageAnnos></pagesAnnos>",
         "[[{annotype:\"T\",action:{actionType:\"V\",file:\"./files/pageConfig/a.mp4\"},location:{x:\"0\"},"
         "tooltip:\"Say \\\"hi\\\" <\\/script><br/>\\u0027x\\u0027\"}]];"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(scriptOf(c.xml), c.script) << c.xml.left(80).constData();
    EXPECT_EQ(FlashPagesAnnotations().AnnosXML2JS(), QStringLiteral("[];"));
}

TEST(ParseXML2JS, RuleTable) {
    const struct { QByteArray xml; QString script; } cases[] = {
        // list holders, followed by a comma when a sibling follows
        {"<w><list k=\"v\"><i>1</i><i>2</i></list><z/></w>", "list:{k:\"v\",i:[{i:\"1\"},{i:\"2\"}]},"},
        {"<w><list><i a=\"1\"><b>x</b></i><i><b>y</b></i></list></w>", "list:{i:[{a:\"1\",b:\"x\"},{b:\"y\"}]}"},
        {"<w><e a=\"1\" b=\"2\"/><z/></w>", "e:{a:\"1\",b:\"2\"},"},       // no children
        {"<w><t a=\"1\">hi</t></w>", "t:\"hi\""},                          // text child, attributes dropped
        {"<w><o a=\"1\"><t>x</t></o></w>", "o:{a:\"1\",t:\"x\"}"},         // element children outside a list
        {"<w><o><t>x</t><u/></o></w>", "o:{t:\"x\",u:{}}"},
        {"<w><anno>a\"b<x/></anno></w>", "{a\\\"bx:{}}"},                  // text beside elements
        {"<w><anno><x/></anno></w>", "{x:{}}"},                            // no stray comma
        {"<w><e q=\"say &quot;hi&quot;\"/></w>", "e:{q:\"say \\\"hi\\\"\"}"},
        // line ends become breaks; neither a trailing backslash nor "</script>" ends the script string
        {R"(<w><t>a&#13;&#10;&#13;&#10;b&#10;&#13;c \"&lt;/script&gt; c:\dir\</t></w>)",
         R"(t:"a<br/><br/>b<br/><br/>c \\\"<\/script> c:\\dir\\")"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(elementScript(c.xml), c.script) << c.xml.constData();
    EXPECT_EQ(FlashPagesAnnotations::ParseXML2JS(pugi::xml_node()), QString());
}
