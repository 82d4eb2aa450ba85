#include "outline/FlashOutline.h"
#include "util/NamedException.h"
#include "util/Xml.h"

#include <gtest/gtest.h>

namespace {
std::shared_ptr<FlashOutlineItem> item(const QString& caption, int page, int level)
{
    auto i = std::make_shared<FlashOutlineItem>();
    i->setCaption(caption);
    i->setPageIndex(page);
    i->setLevel(level);
    return i;
}

QString compact(const pugi::xml_node& node)
{
    return QString::fromUtf8(Xml::toBytes(node, false, false));
}

pugi::xml_node parse(pugi::xml_document& doc, const QByteArray& xml)
{
    EXPECT_TRUE(Xml::loadStrict(doc, xml).ok) << xml.constData();
    return doc.document_element();
}

// Three levels with text that needs escaping.
FlashOutline threeLevels()
{
    auto top = item(QStringLiteral("Intro & <Overview> \"quoted\""), 3, 1);
    auto middle = item(QStringLiteral("Background"), 4, 2);
    auto leaf = item(QStringLiteral("Détails"), 5, 3);
    middle->addChild(leaf);
    leaf->setParent(middle.get());
    top->addChild(middle);
    middle->setParent(top.get());
    FlashOutline outline;
    outline.setItems({top, item(QStringLiteral("End"), 9, 1)});
    return outline;
}
}

TEST(FlashOutlineXml, WritesTheDocumentedShape)
{
    auto intro = item(QStringLiteral("Introduction"), 3, 1);
    intro->addChild(item(QStringLiteral("Background"), 4, 2));
    FlashOutline outline;
    outline.setItems({intro, std::make_shared<FlashOutlineItem>()});
    pugi::xml_document doc;
    outline.outlineAsXMLNode(doc);
    EXPECT_EQ(compact(doc.document_element()),
              QStringLiteral("<ols><o><c>Introduction</c><p>3</p><l>1</l><ci><o><c>Background</c><p>4</p><l>2</l><ci/></o></ci></o>"
              "<o><c>(null)</c><p>0</p><l>0</l><ci/></o></ols>"));

    FlashOutline empty;
    pugi::xml_document emptyDoc;
    empty.outlineAsXMLNode(emptyDoc);
    EXPECT_EQ(compact(emptyDoc.document_element()), QStringLiteral("<ols/>"));
}

TEST(FlashOutlineXml, RoundTripKeepsCaptionsPagesLevelsAndNesting)
{
    const FlashOutline original = threeLevels();
    pugi::xml_document written;
    original.outlineAsXMLNode(written);
    // Through text and a pretty-printed re-read, as a published book description goes.
    pugi::xml_document reread;
    pugi::xml_node ols = parse(reread, Xml::toBytes(written, true, true));

    FlashOutline loaded;
    loaded.loadFromXMLNode(ols);
    ASSERT_EQ(loaded.items().size(), 2);
    const auto& top = loaded.items().at(0);
    EXPECT_EQ(top->caption(), QStringLiteral("Intro & <Overview> \"quoted\""));
    EXPECT_EQ(top->pageIndex(), 3);
    EXPECT_EQ(top->level(), 1);
    EXPECT_EQ(top->parent(), nullptr);
    ASSERT_EQ(top->childItems().size(), 1);
    const auto& middle = top->childItems().at(0);
    EXPECT_EQ(middle->parent(), top.get());
    EXPECT_EQ(middle->level(), 2);
    ASSERT_EQ(middle->childItems().size(), 1);
    const auto& leaf = middle->childItems().at(0);
    EXPECT_EQ(leaf->caption(), QStringLiteral("Détails"));
    EXPECT_EQ(leaf->pageIndex(), 5);
    EXPECT_EQ(leaf->level(), 3);
    EXPECT_EQ(leaf->parent(), middle.get());

    pugi::xml_document again;
    loaded.outlineAsXMLNode(again);
    EXPECT_EQ(compact(again.document_element()), compact(written.document_element()));
}

TEST(FlashOutlineXml, ReadsLeniently)
{
    pugi::xml_document doc;
    pugi::xml_node ols = parse(doc, "<ols><o><c>No page</c><ci><o><p>  12abc</p><l>-2</l></o></ci></o>"
                                    "<x/><o><p>junk</p><l>99999999999</l></o></ols>");
    FlashOutline outline;
    outline.setItems({item(QStringLiteral("old"), 1, 1)});
    outline.loadFromXMLNode(ols);
    ASSERT_EQ(outline.items().size(), 2); // the stray element is not an entry; old items are replaced
    EXPECT_EQ(outline.items().at(0)->pageIndex(), 0);
    EXPECT_EQ(outline.items().at(0)->level(), 0);
    const auto& child = outline.items().at(0)->childItems().at(0);
    EXPECT_TRUE(child->caption().isNull());
    EXPECT_EQ(child->pageIndex(), 12);
    EXPECT_EQ(child->level(), -2);
    EXPECT_EQ(outline.items().at(1)->pageIndex(), 0);
    EXPECT_EQ(outline.items().at(1)->level(), INT_MAX);
}

TEST(FlashOutlineXml, WrongElementsRaiseNamedExceptionsAndKeepTheItems)
{
    FlashOutline outline = threeLevels();
    pugi::xml_document doc;
    try {
        outline.loadFromXMLNode(parse(doc, "<outline><o/></outline>"));
        FAIL() << "no exception";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), QStringLiteral("ERROR_INIT_OUTLINES"));
        EXPECT_EQ(e.reason(), QStringLiteral("Not a flash outline"));
    }
    EXPECT_THROW(outline.loadFromXMLNode(pugi::xml_node()), NamedException);

    FlashOutlineItem single;
    try {
        single.loadItemFromXMLNode(parse(doc, "<ols/>"));
        FAIL() << "no exception";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), QStringLiteral("ERROR_INIT_OUTLINE_ITEM"));
        EXPECT_EQ(e.reason(), QStringLiteral("Not a flash outline item"));
    }
    ASSERT_EQ(outline.items().size(), 2);
    EXPECT_EQ(outline.items().at(0)->childItems().size(), 1);
}

TEST(FlashOutlineXml, HostileNestingIsRefusedNotACrash)
{
    QByteArray xml = "<ols>";
    for (int i = 0; i < 100000; ++i)
        xml += "<o><ci>";
    for (int i = 0; i < 100000; ++i)
        xml += "</ci></o>";
    xml += "</ols>";
    pugi::xml_document doc;
    FlashOutline outline;
    try {
        outline.loadFromXMLNode(parse(doc, xml));
        FAIL() << "no exception";
    } catch (const NamedException& e) {
        EXPECT_EQ(e.name(), QStringLiteral("ERROR_INIT_OUTLINE_ITEM"));
    }
    EXPECT_TRUE(outline.items().isEmpty());
}
