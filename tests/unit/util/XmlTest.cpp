#include "util/Xml.h"

#include <gtest/gtest.h>

// A strict parse keeps white space and CDATA; broken markup is repaired by the lenient pass or refused.
TEST(Xml, ParsesStrictlyThenLenientlyOrRefuses) {
    pugi::xml_document doc;
    const Xml::ParseResult r = Xml::load(doc, "<a><b>  two  spaces </b><c><![CDATA[<x>&]]></c></a>");
    ASSERT_TRUE(r.ok);
    EXPECT_FALSE(r.repaired);
    EXPECT_EQ(Xml::text(doc.child("a").child("b")), "  two  spaces ");
    EXPECT_EQ(Xml::text(doc.child("a").child("c")), "<x>&");
    EXPECT_EQ(doc.child("a").child("c").first_child().type(), pugi::node_cdata);

    const Xml::ParseResult repaired = Xml::load(doc, "<root><item name=\"x\">one</item><item>two</root>");
    ASSERT_TRUE(repaired.ok);
    EXPECT_TRUE(repaired.repaired);
    EXPECT_FALSE(repaired.error.isEmpty());
    EXPECT_EQ(Xml::attr(doc.child("root").child("item"), "name"), "x");

    for (const char* hopeless : {"", "not xml at all", "\x01\x02\x03"}) {
        const Xml::ParseResult bad = Xml::load(doc, hopeless);
        EXPECT_TRUE(!bad.ok && !bad.error.isEmpty()) << hopeless;
    }
    EXPECT_FALSE(Xml::loadFile(doc, "/nonexistent/file.xml").ok);
}

// Written pretty as UTF-8 with a declaration. Text from a PDF may hold characters XML forbids; what
// we write must still be read by browsers.
TEST(Xml, WritesPrettyUtf8LeavingOutForbiddenCharacters) {
    pugi::xml_document doc;
    ASSERT_TRUE(Xml::load(doc, "<a><b>é</b></a>").ok);
    const QByteArray out = Xml::toBytes(doc);
    EXPECT_TRUE(out.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<a>\n    <b>"));
    EXPECT_TRUE(out.contains("é"));
    EXPECT_EQ(Xml::toBytes(doc.child("a"), false, false), "<a><b>é</b></a>");

    doc.reset();
    const QString hostile = QString("a") + QChar(1) + QChar(0x0b) + QChar(0x0c) + QChar(0xfffe) + "b\tc";
    doc.append_child("t").append_attribute("u") = Xml::utf8(hostile).c_str();
    doc.child("t").text().set(Xml::utf8(hostile + QChar(0xffff)).c_str());
    const QByteArray written = Xml::toBytes(doc);
    EXPECT_EQ(Xml::wellFormedError(written), "");
    pugi::xml_document back;
    ASSERT_TRUE(Xml::loadStrict(back, written).ok);
    EXPECT_EQ(Xml::text(back.child("t")), "ab\tc");
    EXPECT_NE(Xml::wellFormedError("<t>a\x01</t>"), "");
    EXPECT_NE(Xml::wellFormedError("<t>"), "");
}
