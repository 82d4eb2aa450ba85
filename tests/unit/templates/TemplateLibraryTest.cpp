// Walks the template library we ship: every template loads with every theme, and every file a
// setting names exists.
#include "TemplateFixture.h"
#include <QFileInfo>
#include <QImage>

namespace {

const QString kHome = TemplateFixture::kHome;

// The settings the player and the publisher read from every template.
const QStringList kRequiredKeys = QStringLiteral(
    "pageWidth pageHeight languageSetting isHardCover googleAnalyticsID linkOverColor linkOverColorAlpha "
    "linkOpenedWindow bookTitle backgroundColor backgroundImage logoFile logoLink toolbarColor toolbarIconColor "
    "showThumbnails showOutline showZoom showFullscreen showSound showDownload showShare flipDuration flipSound "
    "pageShadow rightToLeft autoFlipInterval startPage").split(' ');

TEST(TemplateLibrary, EveryTemplateLoadsWithEveryThemeAndItsFilesExist) {
    QStringList names;
    for (const QString& folder : BriskUtility::subFolderOfFolder(FlashTemplate::builtInTemplatesFolder()))
        names << QFileInfo(folder).fileName();
    EXPECT_TRUE(names.contains("Float") && names.contains("Neat") && names.size() >= 3) << names.join(' ');
    EXPECT_FALSE(TestSupport::readFile(FlashTemplate::otherScriptFolder() + "fbOtherScript.txt").isEmpty());
    bool someStyleResource = false;
    QStringList firstKeys;
    for (const QString& name : names) {
        const QString folder = FlashTemplate::tmplPathForName(name);
        EXPECT_TRUE(TestSupport::readFile(folder + "book.swf").startsWith("FWS")) << name;
        EXPECT_FALSE(QImage(folder + "icon.png").isNull()) << name;
        FlashTemplate tmpl{FlashTemplate::Empty{}};
        ASSERT_NO_THROW(tmpl.loadTemplate(name)) << name;
        EXPECT_EQ(tmpl.styleName(), "Blank") << name;
        EXPECT_FALSE(tmpl.tmpValidCode().isEmpty());
        EXPECT_FALSE(tmpl.tmplHTMLFilePath().isNull()) << name;
        const QByteArray page = TestSupport::readFile(tmpl.tmplHTMLFilePath());
        for (const char* placeholder : {"${index.title}", "${meta.keywords}", "${meta.description}",
                                        "${script.bottom}", "${script.other}"})
            EXPECT_TRUE(page.contains(placeholder)) << name << " " << placeholder;

        QStringList keys;
        tmpl.forEachProperty([&](FlashTemplateProperty& p) { keys << p.key(); });
        for (const QString& key : kRequiredKeys)
            EXPECT_TRUE(keys.contains(key)) << name << " lacks " << key;
        if (firstKeys.isEmpty())
            firstKeys = keys;
        EXPECT_EQ(keys, firstKeys) << name << " uses other keys than the first template";

        const QStringList styles = FlashTemplate::tmplStyleNamesForTmpl(name);
        EXPECT_GE(styles.size(), 3) << name;
        EXPECT_TRUE(FlashTemplate::stylePathFor(name, "Blank") != "");
        for (const QString& style : styles) {
            EXPECT_TRUE(QFileInfo::exists(style + "/Meta.xml")) << style;
            EXPECT_FALSE(QImage(style + "/shot.jpg").isNull()) << style;
            FlashTemplate themed{FlashTemplate::Empty{}};
            themed.changeTmplTo(name, style);
            const QByteArray settings = TestSupport::readFile(style + "/tmplSetting.txt");
            someStyleResource |= settings.contains("STYLE_RESOURCE:");
            themed.forEachProperty([&](FlashTemplateProperty& p) {
                EXPECT_FALSE(p.value().contains("STYLE_RESOURCE:")) << style;
                if (p.propertyType() == pt_file && !p.value().isEmpty())
                    EXPECT_TRUE(QFileInfo(p.value()).isFile()) << p.value();
            });
        }
    }
    EXPECT_TRUE(someStyleResource);
}

}
