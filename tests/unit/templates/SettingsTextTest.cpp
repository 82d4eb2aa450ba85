#include "TemplateFixture.h"

using namespace TemplateFixture;

namespace {

class SettingsText : public TemplateTest {
protected:
    void load(const QString& properties) {
        addBuiltInTemplate("Float", description(properties));
        tmpl.loadTemplate("Float");
    }
    QByteArray exported(bool asStyleResource = false) {
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

TEST_F(SettingsText, ExportIsByteExact) {
    load(property("a", "1", "pt_text", property("b", "2")));
    EXPECT_EQ(exported(), QByteArray("\n\ra=1\n\rb=2"));

    tmpl.setPropertyValue("a", QString::fromUtf8("x\n\ry\nz é"));
    EXPECT_EQ(exported(), QByteArray("\n\ra=x|||y\nz \xc3\xa9\n\rb=2"));
}

TEST_F(SettingsText, ThemeResourceFlagNamesTheCopyOnlyForExistingFiles) {
    load(property("logo", "", "pt_file") + property("gone", "", "pt_file") + property("text", "", "pt_text"));
    const QString png = iOut.path() + "/pic.png";
    ASSERT_TRUE(TestSupport::writeFile(png, "png"));
    tmpl.properties()[0]->setValue(png);
    tmpl.properties()[1]->setValue("/nowhere/x.jpg");
    tmpl.properties()[2]->setValue(png);
    EXPECT_EQ(exported(true), ("\n\rlogo=STYLE_RESOURCE:logo.png\n\rgone=/nowhere/x.jpg\n\rtext=" + png).toUtf8());
    EXPECT_EQ(exported(false), ("\n\rlogo=" + png + "\n\rgone=/nowhere/x.jpg\n\rtext=" + png).toUtf8());
}

TEST_F(SettingsText, ImportAcceptsEveryLineEndAndKeepsBars) {
    load(property("a", "") + property("b", "") + property("c", "") + property("", "empty key"));
    for (const QByteArray& text : {QByteArray("\n\ra=1\n\rb=2|||3\n\rc=x=y"), QByteArray("a=1\nb=2|||3\nc=x=y\n"),
                                   QByteArray("a=1\r\nb=2|||3\r\nc=x=y\r\n")}) {
        tmpl.setPropertyValue("a", "");
        importText(text);
        EXPECT_EQ(tmpl.propertyValueFor("a", "") + ' ' + tmpl.propertyValueFor("b", "") + ' ' + tmpl.propertyValueFor("c", ""),
                  "1 2|||3 x=y") << text.constData();
    }
    importText("no equals sign\nunknown=1\n=for empty key\na=first\na=last\nb=");
    EXPECT_EQ(tmpl.propertyValueFor("", ""), "for empty key");
    EXPECT_EQ(tmpl.propertyValueFor("a", ""), "last");
    EXPECT_EQ(tmpl.propertyValueFor("b", "x"), "");
}

TEST_F(SettingsText, PageSizeSurvivesImportsAndThemes) {
    load(property("pageWidth", "600") + property("pageHeight", "800") + property("color", "1"));
    tmpl.setPropertyValue("pageWidth", "1024");
    importText("\n\rpageWidth=2000\n\rpageHeight=3000\n\rcolor=2");
    EXPECT_EQ(tmpl.propertyValueFor("pageWidth", ""), "1024");
    EXPECT_EQ(tmpl.propertyValueFor("pageHeight", ""), "800");
    EXPECT_EQ(tmpl.propertyValueFor("color", ""), "2");

    addBuiltInTheme("Float", "Big", "\n\rpageWidth=5\n\rcolor=3");
    tmpl.loadStyleByStyleName("Big");
    EXPECT_EQ(tmpl.propertyValueFor("pageWidth", ""), "1024");
    EXPECT_EQ(tmpl.propertyValueFor("color", ""), "3");
}

}
