#include "outline/FlashOutline.h"
#include "util/NamedException.h"
#include "util/Xml.h"

#include "OutlineTestSupport.h"

namespace {
pugi::xml_node parse(pugi::xml_document& doc, const QByteArray& xml) {
    EXPECT_TRUE(Xml::loadStrict(doc, xml).ok) << xml.constData();
    return doc.document_element();
}

const QByteArray kThreeLevels =
    "<ols><o><c>Intro &amp; &lt;Overview&gt; \"quoted\"</c><p>3</p><l>1</l><ci><o><c>Background</c><p>4</p><l>2</l><ci>"
    "<o><c>Détails</c><p>5</p><l>3</l><ci/></o></ci></o></ci></o><o><c>(null)</c><p>0</p><l>0</l><ci/></o></ols>";
}

// Each form is read into an outline that held kThreeLevels; the outline then writes `written`,
// or the read raises `error` and the old entries stay. A published book's description is
// re-read pretty-printed.
TEST(FlashOutlineXml, FormsReadAndWrittenOrRefused) {
    pugi::xml_document compact;
    const QByteArray pretty = Xml::toBytes(parse(compact, kThreeLevels), true, true);
    const QByteArray deep = "<ols>" + QByteArray("<o><ci>").repeated(100000) + QByteArray("</ci></o>").repeated(100000) + "</ols>";
    const struct { QByteArray xml; QByteArray written; QString error; } cases[] = {
        {kThreeLevels, kThreeLevels, {}},
        {pretty, kThreeLevels, {}},
        {"<ols/>", "<ols/>", {}},
        // stray elements are no entries; missing fields read as null or zero, numbers leniently
        {"<ols><o><c>No page</c><ci><o><p>  12abc</p><l>-2</l></o></ci></o><x/><o><p>junk</p><l>99999999999</l></o></ols>",
         "<ols><o><c>No page</c><p>0</p><l>0</l><ci><o><c>(null)</c><p>12</p><l>-2</l><ci/></o></ci></o>"
         "<o><c>(null)</c><p>0</p><l>2147483647</l><ci/></o></ols>", {}},
        {"<outline><o/></outline>", kThreeLevels, "ERROR_INIT_OUTLINES"},
        {deep, kThreeLevels, "ERROR_INIT_OUTLINE_ITEM"},
    };
    for (const auto& c : cases) {
        pugi::xml_document old, doc;
        FlashOutline outline;
        outline.loadFromXMLNode(parse(old, kThreeLevels));
        try {
            outline.loadFromXMLNode(parse(doc, c.xml));
            EXPECT_TRUE(c.error.isEmpty()) << "no exception for " << c.xml.left(40).constData();
        } catch (const NamedException& e) {
            EXPECT_EQ(e.name(), c.error);
        }
        EXPECT_EQ(OutlineTestSupport::compact(outline), QString::fromUtf8(c.written));
    }
    FlashOutline outline;
    EXPECT_THROW(outline.loadFromXMLNode(pugi::xml_node()), NamedException);
    pugi::xml_document doc;
    FlashOutlineItem single;
    EXPECT_THROW(single.loadItemFromXMLNode(parse(doc, "<ols/>")), NamedException);
}
