#include "TestSupport.h"
#include "templates/FlashTemplateProperty.h"
#include "templates/StringUtil.h"
#include "util/NamedException.h"
#include <gtest/gtest.h>

namespace {

const std::string kRequired = "<key>k</key><title>T</title><desc>D</desc><value>  a<![CDATA[<b>]]>c </value>"
                              "<valueSource>a,b</valueSource><defalutValue>d</defalutValue>";

std::string property(const std::string& attributes, const std::string& inside = {}) {
    return "<property " + attributes + ">" + kRequired + inside + "</property>";
}

void load(FlashTemplateProperty& p, pugi::xml_document& doc, const std::string& xml) {
    ASSERT_TRUE(doc.load_string(xml.c_str(), pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_cdata));
    p.loadFromNode(doc.document_element());
}

TEST(FlashTemplateProperty, TypeComesFromTypeAttributeAndATypeForcesSwitch) {
    const struct { std::string attributes; int type; } cases[] = {
        {R"(type="pt_color" aType="x")", pt_bool}, {R"(aType="")", pt_bool},
        {R"(type="pt_form_language")", pt_form_language}, {R"(type="pt_file")", pt_file},
        {R"(type="PT_TEXT")", pt_text}, {R"(type="pt_unknown")", pt_text}, {"", pt_text},
    };
    for (const auto& c : cases) {
        pugi::xml_document doc;
        FlashTemplateProperty p;
        load(p, doc, property(c.attributes));
        EXPECT_EQ(p.propertyType(), c.type) << c.attributes;
        EXPECT_EQ(p.value(), "  a<b>c ");   // white space and CDATA kept
        EXPECT_FALSE(p.aTitle().isNull());  // a missing aTitle is empty, not absent
    }
}

// Children are the direct properties of the first childProperties; a second load replaces them,
// and a child lacking a required element stops the load with the children read so far.
TEST(FlashTemplateProperty, ChildrenComeFromTheFirstChildListOnly) {
    const std::string child = property({});
    pugi::xml_document doc, second, broken;
    FlashTemplateProperty p;
    load(p, doc, property({}, "<childProperties>" + child + "<note/>" + child + child + "</childProperties>"
                              "<childProperties>" + child + "</childProperties>" + child));
    ASSERT_EQ(p.childCount(), 3);
    for (const auto& c : p.childProperties())
        EXPECT_EQ(c->parent(), &p);
    load(p, second, property({}, "<childProperties>" + child + "</childProperties>"));
    EXPECT_EQ(p.childCount(), 1);

    const std::string bad = "<property><key>x</key><title/><desc/><value/><valueSource/></property>";
    QString reason;
    try {
        load(p, broken, property({}, "<childProperties>" + child + child + bad + child + "</childProperties>"));
    } catch (const NamedException& e) {
        reason = e.reason();
    }
    EXPECT_TRUE(reason.contains("defalutValue")) << reason;
    EXPECT_EQ(p.childCount(), 2);
}

TEST(StringUtil, ValueAsBoolAcceptsOnlyTheFourWordsInAnyCase) {
    for (const char* yes : {"YES", "yes", "Show", "enable", "TRUE"})
        EXPECT_TRUE(StringUtil::valueAsBool(yes)) << yes;
    for (const char* no : {"NO", "1", "on", "", " yes", "hide"})
        EXPECT_FALSE(StringUtil::valueAsBool(no)) << no;
}

}
