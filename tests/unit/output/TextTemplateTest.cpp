#include "output/HTMLConfigInfo.h"
#include "output/TextTemplate.h"

#include "TestSupport.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString parsed(const QString& text, const QString& title = "T") {
    TextTemplate t(text);
    t.setItem("index.title", title);
    return t.parse();
}
}

// White space rules; values are not scanned again and later sets win.
TEST(TextTemplate, WhiteSpaceRulesAndValues) {
    EXPECT_EQ(parsed("x${index.title}y"), "xTy");
    EXPECT_EQ(parsed("${index.title}\n<p>"), "T<p>");                 // the line break after a placeholder goes
    EXPECT_EQ(parsed("  \n<a>${index.title}"), "<a>T");               // leading white space goes
    EXPECT_EQ(parsed("<a>${never.set}</a>"), "<a></a>");
    EXPECT_EQ(parsed("a ${"), "a ");                                  // an unclosed opening eats the rest
    EXPECT_EQ(parsed("a ${index.title rest"), "a ");
    EXPECT_EQ(parsed("${index.title}tail  "), "Ttail  ");              // trailing text keeps its white space
    EXPECT_EQ(parsed("${index.title}   "), "T");                       // unless it is white space only
    EXPECT_EQ(parsed("<a>${ index.title}</a>"), "<a>T</a>");           // leading blanks of a key are skipped
    EXPECT_EQ(parsed("<a>${index.title }</a>"), "<a></a>");            // trailing ones stay in the key

    TextTemplate t("<${a}|${b}>");
    t.setItem("a", "${b}");
    t.setItem("b", "first");
    t.setItem("b", "second");
    EXPECT_EQ(t.parse(), "<${b}|second>");
}

TEST(HTMLConfigInfo, FillsThePlaceholdersAndWritesUtf8) {
    QTemporaryDir dir;
    const QString page = dir.filePath("page.html"), out = dir.filePath("out.html");
    // UTF-16 with a byte-order mark is read as such.
    const QString text = "<title>${index.title}</title><meta ${meta.keywords}|${meta.description}>${script.bottom}${script.other}";
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    TestSupport::writeFile(page, utf16);
    HTMLConfigInfo config;
    config.setHTMLTitle(QString::fromUtf8("Caf\xC3\xA9"));
    config.setHTMLKeywords("k");
    config.setHTMLDescription("d");
    config.setHTMLScript("<s>");
    config.setOtherScript("<o>");
    ASSERT_TRUE(config.generateHTMLFrom(page, out));
    EXPECT_EQ(TestSupport::readFile(out), QByteArray("<title>Caf\xC3\xA9</title><meta k|d><s><o>"));
    EXPECT_FALSE(config.generateHTMLFrom(dir.filePath("missing.html"), dir.filePath("other.html")));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("other.html")));
}
