#include "util/ScriptText.h"
#include "util/WebAddress.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <gtest/gtest.h>

// Whatever the text, its literal reads back as the same string and holds nothing an HTML parser
// or a script parser would stop at.
TEST(ScriptText, LiteralsOfHostileTextsStayOneString) {
    const QString texts[] = {
        QStringLiteral("m\\\";alert('x');<!--"), QStringLiteral("</script><script>alert(1)</script>"),
        QStringLiteral("a\nb\r\u2028c\u2029d\te"), QString(QChar(1)) + QChar(0x0b) + QChar(0x0c) + QChar(0x7f),
        QStringLiteral("\\u0022 \\\\ \"'"), QStringLiteral("plain Ünïcødé 本")};
    for (const QString& text : texts) {
        const QString literal = ScriptText::literal(text);
        const QJsonDocument parsed = QJsonDocument::fromJson(("[" + literal + "]").toUtf8());
        ASSERT_TRUE(parsed.isArray()) << literal.toStdString();
        EXPECT_EQ(parsed.array().at(0).toString(), text);
        EXPECT_FALSE(literal.contains(QStringLiteral("</")) || literal.contains(QStringLiteral("<!--")));
        for (const QChar c : literal)
            EXPECT_TRUE(c.unicode() >= 0x20 && c.unicode() != 0x2028 && c.unicode() != 0x2029) << literal.toStdString();
    }
    EXPECT_EQ(ScriptText::key(QStringLiteral("pageIndex")), "pageIndex");
    EXPECT_EQ(ScriptText::key(QStringLiteral("a-b")), "\"a-b\"");
    EXPECT_EQ(ScriptText::number(QStringLiteral("1024,5"), 9), "1024.5");
    EXPECT_EQ(ScriptText::number(QStringLiteral("1);alert(1"), 9), "9");
    EXPECT_EQ(ScriptText::html(QStringLiteral("</title><b a=\"x\">&")), "&lt;/title&gt;&lt;b a=&quot;x&quot;&gt;&amp;");
}

TEST(WebAddress, AddressesAreReadAsTheBrowserReadsThemBeforeTheSchemeIsChecked) {
    const struct { const char *address, *followed; } cases[] = {
        {"java\tscript:alert(1)", ""}, {"java\nscript:alert(1)", ""}, {"javascript\t:alert(1)", ""},
        {" \x01JaVaScRiPt:alert(1)\x02 ", ""}, {"data:text/html,<script>", ""}, {"vbscript:x", ""},
        {"file:///etc/passwd", ""}, {"\t", ""}, {" https://example.org/a b ", "https://example.org/a b"},
        {"mailto:a@example.org", "mailto:a@example.org"}, {"tel:+123", "tel:+123"},
        // a host without a scheme is a web address ...
        {"example.org/page", "https://example.org/page"}, {"www.example.org", "https://www.example.org"},
        {"shop.example.co.uk:8080?q=1", "https://shop.example.co.uk:8080?q=1"}, {"//example.org/x", "https://example.org/x"},
        // ... a file name is not
        {"report.pdf", "report.pdf"}, {"chapter2.html#top", "chapter2.html#top"}, {"docs/example.org", "docs/example.org"},
        {"./example.org", "./example.org"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(WebAddress::followable(QString::fromUtf8(c.address)), QString::fromUtf8(c.followed)) << c.address;
}
