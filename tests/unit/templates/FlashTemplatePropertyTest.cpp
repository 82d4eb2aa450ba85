#include "templates/FlashTemplateProperty.h"
#include "templates/StringUtil.h"
#include "util/NamedException.h"
#include <gtest/gtest.h>

namespace {

pugi::xml_node parse(pugi::xml_document& doc, const char* xml) {
    EXPECT_TRUE(doc.load_string(xml, pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_cdata));
    return doc.document_element();
}

const char* kRequired = "<key>k</key><title>T</title><desc>D</desc><value>v</value>"
                        "<valueSource>a,b</valueSource><defalutValue>d</defalutValue>";

TEST(FlashTemplateProperty, TypeComesFromTypeAttributeAndATypeForcesSwitch) {
    struct Case { std::string attributes; int type; } cases[] = {
        {R"(type="pt_color" aType="x")", pt_bool},
        {R"(aType="")", pt_bool},
        {R"(type="pt_form_language")", pt_form_language},
        {R"(type="pt_file")", pt_file},
        {R"(type="PT_TEXT")", pt_text},
        {R"(type="pt_unknown")", pt_text},
        {"", pt_text},
    };
    for (const auto& c : cases) {
        pugi::xml_document doc;
        const std::string xml = "<property " + c.attributes + ">" + kRequired + "</property>";
        FlashTemplateProperty p;
        p.loadFromNode(parse(doc, xml.c_str()));
        EXPECT_EQ(p.propertyType(), c.type) << c.attributes;
    }
}

TEST(FlashTemplateProperty, ReadsTextsKeepingWhiteSpaceAndCData) {
    pugi::xml_document doc;
    FlashTemplateProperty p;
    p.loadFromNode(parse(doc, "<property><key>k</key><title>T</title><desc>line1\nline2</desc>"
                              "<value>  a<![CDATA[<b>]]>c </value><valueSource/><defalutValue></defalutValue>"
                              "</property>"));
    EXPECT_EQ(p.desc(), "line1\nline2");
    EXPECT_EQ(p.value(), "  a<b>c ");
    EXPECT_FALSE(p.aTitle().isNull()) << "a missing aTitle is empty, not absent";
}

TEST(FlashTemplateProperty, ChildrenAreDirectPropertiesOfFirstChildProperties) {
    pugi::xml_document doc;
    const std::string child = std::string("<property>") + kRequired + "</property>";
    const std::string xml = std::string("<property>") + kRequired + "<childProperties>" + child +
                            "<note/>" + child + child + "</childProperties><childProperties>" + child +
                            "</childProperties>" + child + "</property>";
    FlashTemplateProperty p;
    p.loadFromNode(parse(doc, xml.c_str()));
    ASSERT_EQ(p.childCount(), 3);
    for (const auto& c : p.childProperties())
        EXPECT_EQ(c->parent(), &p);

    pugi::xml_document second;
    p.loadFromNode(parse(second, (std::string("<property>") + kRequired + "<childProperties>" + child +
                                  "</childProperties></property>").c_str()));
    EXPECT_EQ(p.childCount(), 1) << "a second load replaces the children";
}

TEST(FlashTemplateProperty, MissingRequiredElementThrowsAndKeepsEarlierChildren) {
    pugi::xml_document doc;
    const std::string good = std::string("<property>") + kRequired + "</property>";
    const std::string bad = "<property><key>x</key><title/><desc/><value/><valueSource/></property>";
    FlashTemplateProperty p;
    try {
        p.loadFromNode(parse(doc, (std::string("<property>") + kRequired + "<childProperties>" + good + bad +
                                   good + "</childProperties></property>").c_str()));
        FAIL() << "no error for a missing defalutValue";
    } catch (const NamedException& e) {
        EXPECT_TRUE(e.reason().contains("defalutValue")) << e.reason().toStdString();
    }
    EXPECT_EQ(p.childCount(), 1);
}

TEST(StringUtil, ValueAsBoolAcceptsOnlyTheFourWordsInAnyCase) {
    for (const char* yes : {"YES", "yes", "Show", "enable", "TRUE", "true"})
        EXPECT_TRUE(StringUtil::valueAsBool(yes)) << yes;
    for (const char* no : {"NO", "1", "on", "", " yes", "hide"})
        EXPECT_FALSE(StringUtil::valueAsBool(no)) << no;
    EXPECT_FALSE(StringUtil::valueAsBool(QString()));
}

}
