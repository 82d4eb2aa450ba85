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

QString scriptOf(const QByteArray& xml)
{
    pugi::xml_document doc;
    EXPECT_TRUE(Xml::load(doc, xml).ok) << xml.constData();
    FlashPagesAnnotations annotations;
    annotations.setPagesAnnotationsNode(doc.document_element());
    return annotations.AnnosXML2JS();
}

// The conversion of the first element inside a wrapper.
QString elementScript(const QByteArray& xml)
{
    pugi::xml_document doc;
    EXPECT_TRUE(Xml::loadStrict(doc, xml).ok) << xml.constData();
    return FlashPagesAnnotations::ParseXML2JS(doc.document_element().first_child());
}
}

TEST(AnnosXML2JS, ImportedLinksBecomeArraysOfLinkObjects)
{
    EXPECT_EQ(scriptOf(kTwoPages), QStringLiteral("[%1,[]];").arg(kGotoPage7));

    const QString web = scriptOf(
        "<pagesAnnos><pageAnnos pageIndex=\"1\"><anno annotype=\"T\"><action actionType=\"U\"><url>http://x.org/?a=1&amp;b=2</url></action>"
        "<location x=\"0\"/></anno><anno annotype=\"T\"><action actionType=\"G\"><pageIndex>3</pageIndex></action>"
        "<location x=\"1\"/></anno></pageAnnos></pagesAnnos>");
    EXPECT_EQ(web, QStringLiteral("[[{annotype:\"T\",action:{actionType:\"U\",url:\"http://x.org/?a=1&b=2\"},location:{x:\"0\"}},"
                                  "{annotype:\"T\",action:{actionType:\"G\",pageIndex:\"3\"},location:{x:\"1\"}}]];"));
}

TEST(AnnosXML2JS, EmptyOrMissingElementGivesEmptyList)
{
    EXPECT_EQ(scriptOf("<pagesAnnos/>"), QStringLiteral("[];"));
    EXPECT_EQ(FlashPagesAnnotations().AnnosXML2JS(), QStringLiteral("[];"));
}

TEST(AnnosXML2JS, PrettyPrintedDescriptionConvertsLikeCompactOne)
{
    pugi::xml_document compact;
    ASSERT_TRUE(Xml::loadStrict(compact, kTwoPages).ok);
    // A reopened book's description was written pretty-printed and is read keeping white space.
    EXPECT_EQ(scriptOf(Xml::toBytes(compact, true, true)), scriptOf(kTwoPages));
}

TEST(ParseXML2JS, RuleTable)
{
    // 3a and 3b: list holders, followed by a comma when a sibling follows.
    EXPECT_EQ(elementScript("<w><list k=\"v\"><i>1</i><i>2</i></list><z/></w>"),
              QStringLiteral("list:{k:\"v\",i:[{i:\"1\"},{i:\"2\"}]},"));
    EXPECT_EQ(elementScript("<w><list><i a=\"1\"><b>x</b></i><i><b>y</b></i></list></w>"),
              QStringLiteral("list:{i:[{a:\"1\",b:\"x\"},{b:\"y\"}]}"));
    // 5: no children.
    EXPECT_EQ(elementScript("<w><e a=\"1\" b=\"2\"/><z/></w>"), QStringLiteral("e:{a:\"1\",b:\"2\"},"));
    // 6b: text child, attributes dropped.
    EXPECT_EQ(elementScript("<w><t a=\"1\">hi</t></w>"), QStringLiteral("t:\"hi\""));
    // 7c and 7d: element children outside a list.
    EXPECT_EQ(elementScript("<w><o a=\"1\"><t>x</t></o></w>"), QStringLiteral("o:{a:\"1\",t:\"x\"}"));
    EXPECT_EQ(elementScript("<w><o><t>x</t><u/></o></w>"), QStringLiteral("o:{t:\"x\",u:{}}"));
    // 4: text beside elements stands for the parent's first child.
    EXPECT_EQ(elementScript("<w><anno>a\"b<x/></anno></w>"), QStringLiteral("{a\\\"bx:{}}"));
    // An anno without attributes opens with its children, not with a stray comma.
    EXPECT_EQ(elementScript("<w><anno><x/></anno></w>"), QStringLiteral("{x:{}}"));
    EXPECT_EQ(FlashPagesAnnotations::ParseXML2JS(pugi::xml_node()), QString());
}

TEST(AdjustString, MakesTextSafeInsideADoubleQuotedScriptString)
{
    EXPECT_EQ(elementScript("<w><e q=\"say &quot;hi&quot;\"/></w>"), QStringLiteral("e:{q:\"say \\\"hi\\\"\"}"));
    EXPECT_EQ(FlashPagesAnnotations::AdjustString(QStringLiteral("a\r\n\r\nb\n\rc")), QStringLiteral("a<br/><br/>b<br/><br/>c"));
    // A trailing backslash must not swallow the closing quote, nor "</script>" end the page's script.
    EXPECT_EQ(FlashPagesAnnotations::AdjustString(QStringLiteral("c:\\dir\\")), QStringLiteral("c:\\\\dir\\\\"));
    EXPECT_EQ(FlashPagesAnnotations::AdjustString(QStringLiteral("\\\"</script>")), QStringLiteral("\\\\\\\"<\\/script>"));
}

TEST(FlashPagesAnnotationsNode, KeepsItsOwnCopy)
{
    FlashPagesAnnotations annotations;
    EXPECT_FALSE(annotations.pagesAnnotationsNode());
    {
        pugi::xml_document doc;
        ASSERT_TRUE(Xml::loadStrict(doc, kTwoPages).ok);
        annotations.setPagesAnnotationsNode(doc.document_element());
    }
    EXPECT_STREQ(annotations.pagesAnnotationsNode().name(), "pagesAnnos");
    EXPECT_EQ(annotations.AnnosXML2JS(), QStringLiteral("[%1,[]];").arg(kGotoPage7));
    annotations.setPagesAnnotationsNode(pugi::xml_node());
    EXPECT_FALSE(annotations.pagesAnnotationsNode());
}

TEST(AnnosXML2JS, HostileNestingIsRefusedNotACrash)
{
    QByteArray xml = "<pagesAnnos><pageAnnos><anno>";
    for (int i = 0; i < 50000; ++i)
        xml += "<a>";
    for (int i = 0; i < 50000; ++i)
        xml += "</a>";
    xml += "</anno></pageAnnos></pagesAnnos>";
    try {
        scriptOf(xml);
        FAIL() << "no exception";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), QStringLiteral("ERROR_PAGES_ANNOTATIONS"));
    }
    // The depth count recovers after the refusal.
    EXPECT_EQ(scriptOf(kTwoPages), QStringLiteral("[%1,[]];").arg(kGotoPage7));
}
