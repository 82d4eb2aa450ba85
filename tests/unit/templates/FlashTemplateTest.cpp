#include "TemplateFixture.h"
#include "util/NamedException.h"

using namespace TemplateFixture;

namespace {

using FlashTemplateLoading = TemplateTest;

TEST_F(FlashTemplateLoading, BuiltInTemplateHidesUserTemplateOfSameNameAndGetsItsDefaultTheme) {
    addBuiltInTemplate("Twin", description(property("where", "builtin") + property("color", "0x000000", "pt_color")));
    addBuiltInTheme("Twin", "Blank", "\n\rcolor=0xff0000");
    addTemplate(userTemplatesRoot(), "Twin", description(property("where", "user")));
    addTemplate(userTemplatesRoot(), "Solo", description(property("where", "user")));
    EXPECT_EQ(FlashTemplate::tmplPathForName("Solo"), userTemplatesRoot() + "Solo/");
    EXPECT_TRUE(FlashTemplate::tmplPathForName("None").isNull());
    EXPECT_EQ(FlashTemplate::tmplNames().size(), 3);

    FlashTemplate tmpl{FlashTemplate::Empty{}};
    tmpl.loadTemplate("Twin");
    EXPECT_EQ(tmpl.propertyValueFor("where", ""), "builtin");
    EXPECT_EQ(tmpl.styleName(), "Blank");
    EXPECT_EQ(tmpl.propertyValueFor("color", ""), "0xff0000");
}

TEST_F(FlashTemplateLoading, FailuresNameTheFileAndTheMissingElementAndKeepWhatWasRead) {
    addBuiltInTemplate("NoCode", description(property("a", "1"), "<macAppFilesFolder/><mobileTmplFilesPath/>"));
    addBuiltInTemplate("BadProperty", description(property("a", "1") + "<property><key>b</key></property>"));
    addBuiltInTemplate("Garbage", "\x01\x02 not xml at all <<<");
    struct Case { QString name, mentions; size_t kept; } cases[] = {
        {"NoCode", "templateValidCode", 0}, {"BadProperty", "title", 1}, {"Garbage", "flashTemplate.xml", 0},
        {"Missing", "Missing", 0}};
    for (const auto& c : cases) {
        FlashTemplate tmpl{FlashTemplate::Empty{}};
        QString reason;
        try {
            tmpl.loadTemplate(c.name);
        } catch (const NamedException& e) {
            reason = e.reason();
        }
        EXPECT_TRUE(reason.contains(c.mentions)) << qPrintable(reason);   // empty when it loaded
        EXPECT_TRUE(c.name == "Missing" || reason.contains(c.name + "/flashTemplate.xml")) << qPrintable(reason);
        EXPECT_EQ(tmpl.properties().size(), c.kept) << qPrintable(c.name);
    }
}

TEST_F(FlashTemplateLoading, BrokenMarkupIsRepairedAndUnofferedSettingsAreRemoved) {
    const QString removed = property("SearchSettings", "", "pt_composite", property("inSearch", "1")) +
                            property("SearchResultsFonts", "") + property("otherIconsConfig", "") +
                            property("securitySetting", "", "pt_form_security", property("password", "x")) +
                            property("contactAboutConfig", "");
    QByteArray xml = description(property("a", "1") + removed + property("b", "2"));
    xml.replace("<value>2</value>", "<value>2</valu>"); // mismatched end tag
    addBuiltInTemplate("Broken", xml);
    FlashTemplate tmpl{FlashTemplate::Empty{}};
    tmpl.loadTemplate("Broken");
    QStringList keys;
    tmpl.forEachProperty([&](FlashTemplateProperty& p) { keys << p.key(); });
    EXPECT_EQ(keys, QStringList({"a", "b"}));
}

class FlashTemplateValues : public TemplateTest {
protected:
    void SetUp() override {
        TemplateTest::SetUp();
        // A child of the first top-level property shares its key with the second one.
        addBuiltInTemplate("Float", description(property("group", "", "pt_composite", property("dup", "child") + property("other", "o")) +
                                                property("dup", "top") + property("pageWidth", "640", "pt_number") +
                                                property("bg", "", "pt_file") + property("label", "")));
        tmpl.loadTemplate("Float");
    }
    FlashTemplate tmpl{FlashTemplate::Empty{}};
};

TEST_F(FlashTemplateValues, LookupsFollowTreeOrderAndFirstMatchWins) {
    EXPECT_EQ(tmpl.propertyValueFor("dup", "none"), "child");
    tmpl.setPropertyValue("dup", "changed");
    EXPECT_EQ(tmpl.properties()[0]->childProperties()[0]->value(), "changed");
    EXPECT_EQ(tmpl.properties()[1]->value(), "top");
    tmpl.removeProperty("dup");
    EXPECT_EQ(tmpl.properties()[0]->childCount(), 1);
    EXPECT_EQ(tmpl.propertyValueFor("dup", "none"), "top");
    tmpl.removeProperty("dup");
    EXPECT_EQ(tmpl.propertyValueFor("dup", "none"), "none");
    tmpl.setPropertyValue("nokey", "x");
    EXPECT_EQ(tmpl.propertyForKey("nokey"), nullptr);
}

TEST_F(FlashTemplateValues, ThemesOfBothFoldersAreListedAndTheirResourcesResolved) {
    addBuiltInTheme("Float", "Blue", "\n\rlabel=x");
    addTheme(userStylesRoot(), "Float", "Blue", "\n\rlabel=y");
    addTheme(userStylesRoot(), "Float", "Mine", "\n\rlabel=z");
    ASSERT_TRUE(QDir().mkpath(builtIn("Styles") + "/Float/NotATheme"));
    const QStringList styles = FlashTemplate::tmplStyleNamesForTmpl("Float");
    ASSERT_EQ(styles.size(), 3);
    EXPECT_TRUE(styles[0].endsWith("/Float/Blue"));
    EXPECT_TRUE(styles[2].endsWith("/Float/Mine"));
    EXPECT_EQ(FlashTemplate::stylePathFor("Float", "NotATheme"), "");

    tmpl.loadStyleByStyleName("Blue");   // the built-in theme wins
    EXPECT_EQ(tmpl.propertyValueFor("label", ""), "x");
    tmpl.setPropertyValue("bg", "STYLE_RESOURCE:bg.jpg");
    EXPECT_EQ(tmpl.propertyValueFor("bg", ""), builtIn("Styles") + "/Float/Blue/bg.jpg");
    tmpl.setPropertyValue("label", "STYLE_RESOURCE:bg.jpg");   // only file settings are resolved
    EXPECT_EQ(tmpl.propertyValueFor("label", ""), "STYLE_RESOURCE:bg.jpg");
    tmpl.loadStyleByStyleName("Unknown");
    EXPECT_EQ(tmpl.styleName(), "");
}

TEST_F(FlashTemplateValues, ChangingTemplateKeepsPageSizeAndLanguages) {
    addBuiltInTemplate("Other", description(property("pageWidth", "300") + property("pageHeight", "400") +
                                            property("languageSetting", "German", "pt_form_language") +
                                            property("color", "1")));
    addBuiltInTheme("Other", "Dark", "\n\rpageWidth=999\n\rcolor=2\n\rlanguageSetting=Spanish");
    tmpl.setPropertyValue("pageWidth", "1024");
    tmpl.changeTmplTo("Other", FlashTemplate::stylePathFor("Other", "Dark"));
    EXPECT_EQ(tmpl.tmplName(), "Other");
    EXPECT_EQ(tmpl.styleName(), "Dark");
    EXPECT_EQ(tmpl.propertyValueFor("pageWidth", ""), "1024");
    EXPECT_EQ(tmpl.propertyValueFor("pageHeight", ""), "800") << "the old template had none: its default";
    EXPECT_EQ(tmpl.propertyValueFor("languageSetting", ""), "");
    EXPECT_EQ(tmpl.propertyValueFor("color", ""), "2");
}

TEST_F(FlashTemplateValues, PageAndOtherScriptAreFoundInTemplateThenInTemplateData) {
    tmpl.setHTMLFilePath("pages\\main.html");
    EXPECT_TRUE(tmpl.tmplHTMLFilePath().isNull());
    ASSERT_TRUE(TestSupport::writeFile(builtIn("pages/main.html"), "data"));
    EXPECT_EQ(TestSupport::readFile(tmpl.tmplHTMLFilePath()), "data");
    ASSERT_TRUE(TestSupport::writeFile(builtIn("Templates/Float/pages/main.html"), "tmpl"));
    EXPECT_EQ(TestSupport::readFile(tmpl.tmplHTMLFilePath()), "tmpl");

    addBuiltInTemplate("G", description(property("googleAnalyticsID", "")));
    tmpl.loadTemplate("G");
    EXPECT_TRUE(tmpl.getOtherScript().isNull());
    ASSERT_TRUE(TestSupport::writeFile(userTemplatesRoot() + "fbOtherScript.txt", "user @{}"));
    EXPECT_EQ(tmpl.getOtherScript(), "user ");
    ASSERT_TRUE(TestSupport::writeFile(builtIn("TmplData/fbOtherScript.txt"), "id=@{}; again @{}"));
    tmpl.setPropertyValue("googleAnalyticsID", "G-42");
    EXPECT_EQ(tmpl.getOtherScript(), "id=G-42; again G-42");
}

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
