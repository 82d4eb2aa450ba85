#include "outline/FlashOutline.h"
#include "util/NamedException.h"
#include "util/Xml.h"

#include "OutlineTestSupport.h"

namespace {
pugi::xml_node parse(pugi::xml_document& doc, const QByteArray& xml) {
    EXPECT_TRUE(Xml::loadStrict(doc, xml).ok) << xml.constData();
    return doc.document_element();
}

FlashOutline loaded(const QByteArray& xml) {
    pugi::xml_document doc;
    FlashOutline outline;
    outline.loadFromXMLNode(parse(doc, xml));
    return outline;
}

const QByteArray kThreeLevels =
    "<ols><o><c>Intro &amp; &lt;Overview&gt; \"quoted\"</c><p>3</p><l>1</l><ci><o><c>Background</c><p>4</p><l>2</l><ci>"
    "<o><c>Détails</c><p>5</p><l>3</l><ci/></o></ci></o></ci></o><o><c>(null)</c><p>0</p><l>0</l><ci/></o></ols>";
}

TEST(FlashOutlineXml, RoundTripThroughPrettyTextKeepsEntriesAndParents) {
    const FlashOutline original = loaded(kThreeLevels);
    EXPECT_EQ(OutlineTestSupport::compact(original), QString::fromUtf8(kThreeLevels));
    // Through a pretty-printed re-read, as a published book description goes.
    pugi::xml_document written;
    original.outlineAsXMLNode(written);
    const FlashOutline again = loaded(Xml::toBytes(written, true, true));
    EXPECT_EQ(OutlineTestSupport::compact(again), QString::fromUtf8(kThreeLevels));
    const auto& top = again.items().at(0);
    const auto& leaf = top->childItems().at(0)->childItems().at(0);
    EXPECT_EQ(top->parent(), nullptr);
    EXPECT_EQ(leaf->parent(), top->childItems().at(0).get());
    EXPECT_EQ(OutlineTestSupport::compact(FlashOutline()), QStringLiteral("<ols/>"));
}

TEST(FlashOutlineXml, ReadsLenientlyAndReplacesOldItems) {
    // Stray elements are no entries; missing fields read as null or zero, numbers leniently.
    FlashOutline outline = loaded("<ols><o><c>No page</c><ci><o><p>  12abc</p><l>-2</l></o></ci></o>"
                                  "<x/><o><p>junk</p><l>99999999999</l></o></ols>");
    EXPECT_EQ(OutlineTestSupport::compact(outline),
              QStringLiteral("<ols><o><c>No page</c><p>0</p><l>0</l><ci><o><c>(null)</c><p>12</p><l>-2</l><ci/></o></ci></o>"
                             "<o><c>(null)</c><p>0</p><l>2147483647</l><ci/></o></ols>"));
}

TEST(FlashOutlineXml, WrongOrHostileElementsRaiseNamedExceptionsAndKeepTheItems) {
    QByteArray deep = "<ols>";
    for (int i = 0; i < 100000; ++i)
        deep += "<o><ci>";
    for (int i = 0; i < 100000; ++i)
        deep += "</ci></o>";
    deep += "</ols>";
    const QList<QPair<QByteArray, QString>> cases = {
        {"<outline><o/></outline>", "ERROR_INIT_OUTLINES"},
        {deep, "ERROR_INIT_OUTLINE_ITEM"},
    };
    for (const auto& [xml, name] : cases) {
        FlashOutline outline = loaded(kThreeLevels);
        pugi::xml_document doc;
        try {
            outline.loadFromXMLNode(parse(doc, xml));
            ADD_FAILURE() << "no exception for " << xml.left(40).constData();
        } catch (const NamedException& e) {
            EXPECT_EQ(e.name(), name);
        }
        EXPECT_EQ(OutlineTestSupport::compact(outline), QString::fromUtf8(kThreeLevels));
    }
    FlashOutline outline;
    EXPECT_THROW(outline.loadFromXMLNode(pugi::xml_node()), NamedException);
    pugi::xml_document doc;
    FlashOutlineItem single;
    EXPECT_THROW(single.loadItemFromXMLNode(parse(doc, "<ols/>")), NamedException);
}
