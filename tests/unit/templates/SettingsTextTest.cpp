#include "TemplateFixture.h"

using namespace TemplateFixture;

namespace {

class SettingsText : public TemplateTest {
protected:
    void load(const QString& properties) {
        addBuiltInTemplate("Float", description(properties));
        tmpl.loadTemplate("Float");
    }
    QByteArray exported(bool asStyleResource) {
        const QString path = iOut.path() + "/settings.txt";
        tmpl.exportPropertiesSettingsTo(path, asStyleResource);
        return TestSupport::readFile(path);
    }
    void importText(const QByteArray& text) {
        const QString path = iOut.path() + "/in.txt";
        ASSERT_TRUE(TestSupport::writeFile(path, text));
        tmpl.importPropertiesSettingsFrom(path);
    }
    FlashTemplate tmpl{FlashTemplate::Empty{}};
    QTemporaryDir iOut;
};

// Byte exact, children after their parent; for a theme only existing files of file settings
// become the name of the theme's copy.
TEST_F(SettingsText, ExportIsByteExactAndNamesThemeCopiesOnlyForExistingFiles) {
    load(property("a", "1", "pt_text", property("b", "2")) + property("logo", "", "pt_file") +
         property("gone", "", "pt_file") + property("text", "", "pt_text"));
    const QString png = iOut.path() + "/pic.png";
    ASSERT_TRUE(TestSupport::writeFile(png, "png"));
    tmpl.setPropertyValue("a", QString::fromUtf8("x\n\ry\nz é"));
    tmpl.setPropertyValue("logo", png);
    tmpl.setPropertyValue("gone", "/nowhere/x.jpg");
    tmpl.setPropertyValue("text", png);
    const QByteArray head = "\n\ra=x|||y\nz \xc3\xa9\n\rb=2\n\rlogo=";
    const QByteArray tail = "\n\rgone=/nowhere/x.jpg\n\rtext=" + png.toUtf8();
    EXPECT_EQ(exported(true), head + "STYLE_RESOURCE:logo.png" + tail);
    EXPECT_EQ(exported(false), head + png.toUtf8() + tail);
}

TEST_F(SettingsText, ImportAcceptsEveryLineEndKeepsBarsAndThePageSize) {
    load(property("a", "") + property("b", "") + property("c", "") + property("", "empty key") +
         property("pageWidth", "600") + property("pageHeight", "800"));
    for (const QByteArray& text : {QByteArray("\n\ra=1\n\rb=2|||3\n\rc=x=y"), QByteArray("a=1\nb=2|||3\nc=x=y\n"),
                                   QByteArray("a=1\r\nb=2|||3\r\nc=x=y\r\n")}) {
        tmpl.setPropertyValue("a", "");
        importText(text);
        EXPECT_EQ(tmpl.propertyValueFor("a", "") + ' ' + tmpl.propertyValueFor("b", "") + ' ' + tmpl.propertyValueFor("c", ""),
                  "1 2|||3 x=y") << text.constData();
    }
    tmpl.setPropertyValue("pageWidth", "1024");
    importText("no equals sign\nunknown=1\n=for empty key\na=first\na=last\nb=\npageWidth=2000\npageHeight=3000");
    EXPECT_EQ(tmpl.propertyValueFor("", ""), "for empty key");
    EXPECT_EQ(tmpl.propertyValueFor("a", ""), "last");
    EXPECT_EQ(tmpl.propertyValueFor("b", "x"), "");
    EXPECT_EQ(tmpl.propertyValueFor("pageWidth", ""), "1024");
    EXPECT_EQ(tmpl.propertyValueFor("pageHeight", ""), "800");
}

}
