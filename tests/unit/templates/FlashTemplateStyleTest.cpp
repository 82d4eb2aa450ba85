#include "TemplateFixture.h"
#include "templates/FlashTemplateStyle.h"
#include "util/AppInfo.h"
#include "zip/ZKDataArchive.h"
#include <QImage>

using namespace TemplateFixture;

namespace {

QStringList filesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot, QDir::Name);
}

bool workStyleFolderExists() { return QFileInfo::exists(AppInfo::shareInstance().appWorkdTmpFolder() + "/style"); }

QByteArray meta(const QString& tmplName) {
    return ("<Meta><FStyleName>x</FStyleName><FFlashTemplateName>" + tmplName +
            "</FFlashTemplateName><FStyleDesc/><FTmplVersion>3.0.0</FTmplVersion><FAppVersion>1</FAppVersion></Meta>")
        .toUtf8();
}

class Themes : public TemplateTest {
protected:
    void SetUp() override {
        TemplateTest::SetUp();
        addBuiltInTemplate("Float", description(property("pageWidth", "600") + property("color", "0x000000", "pt_color") +
                                                property("group", "", "pt_composite",
                                                         property("logo", "", "pt_file") + property("gone", "", "pt_file"))));
        tmpl.loadTemplate("Float");
        ASSERT_TRUE(TestSupport::writeFile(iOut.path() + "/pic.png", "PNGDATA"));
        ASSERT_TRUE(QImage(8, 8, QImage::Format_RGB32).save(iOut.path() + "/snap.jpg"));
        tmpl.setPropertyValue("color", "0x123456");
        tmpl.setPropertyValue("logo", iOut.path() + "/pic.png");
        tmpl.setPropertyValue("gone", "/nowhere/missing.jpg");
    }

    QString exportTheme(const QString& fileName, const QString& styleName) {
        FlashTemplateStyle style;
        style.setFlashTmpl(&tmpl);
        style.setStyleName(styleName);
        style.setStyleSnapShotImgFile(iOut.path() + "/snap.jpg");
        style.setTemplateName(tmpl.tmplName());
        const QString path = iOut.path() + '/' + fileName;
        EXPECT_TRUE(style.exprotStyleTo(path)) << style.errorString();
        return path;
    }

    // A theme file written entry by entry, for archives our export would never make.
    QString handMadeTheme(const QString& fileName, const QList<std::pair<QString, QByteArray>>& entries) {
        ZKDataArchive archive;
        for (const auto& [name, bytes] : entries)
            EXPECT_EQ(archive.deflateData(bytes, name), 1) << name;
        const QString path = iOut.path() + '/' + fileName;
        EXPECT_TRUE(TestSupport::writeFile(path, archive.data()));
        return path;
    }

    FlashTemplate tmpl{FlashTemplate::Empty{}};
    QTemporaryDir iOut;
};

TEST_F(Themes, ExportedThemeInstallsUnderItsFileNameAndRestoresTheSettings) {
    const QString path = exportTheme("Ocean.thm", "SomethingElse");
    const QStringList files = {"Meta.xml", "logo.png", "shot.jpg", "tmplSetting.txt"};
    FlashTemplateStyle importer;
    ASSERT_TRUE(importer.importStyleFrom(path)) << importer.errorString();
    EXPECT_FALSE(workStyleFolderExists());
    const QString installed = userStylesRoot() + "Float/Ocean";
    EXPECT_EQ(filesIn(installed), files);
    EXPECT_EQ(TestSupport::readFile(installed + "/tmplSetting.txt"),
              "\n\rpageWidth=600\n\rcolor=0x123456\n\rgroup=\n\rlogo=STYLE_RESOURCE:logo.png\n\rgone=/nowhere/missing.jpg");

    FlashTemplate fresh{FlashTemplate::Empty{}};
    fresh.loadTemplate("Float");
    fresh.changeTmplTo("Float", FlashTemplate::stylePathFor("Float", "Ocean"));
    EXPECT_EQ(fresh.propertyValueFor("color", ""), "0x123456");
    EXPECT_EQ(TestSupport::readFile(fresh.propertyValueFor("logo", "")), "PNGDATA");
    EXPECT_EQ(fresh.propertyValueFor("gone", ""), "");   // a theme names only its own files

    // Importing again replaces the first copy whole.
    TestSupport::writeFile(installed + "/stale.txt", "old");
    tmpl.setPropertyValue("color", "0xabcdef");
    exportTheme("Ocean.thm", "Ocean");
    ASSERT_TRUE(importer.importStyleFrom(path));
    EXPECT_EQ(filesIn(installed), files);
    EXPECT_TRUE(TestSupport::readFile(installed + "/tmplSetting.txt").contains("0xabcdef"));
}

TEST_F(Themes, FileSettingsOfAThemeNameOnlyTheThemesOwnFiles) {
    const QString secret = iOut.path() + "/secret.txt";
    ASSERT_TRUE(TestSupport::writeFile(secret, "secret"));
    const QString folder = iOut.path() + "/theme";
    ASSERT_TRUE(TestSupport::writeFile(folder + "/own.png", "PNG"));
    ASSERT_TRUE(QFile::link(secret, folder + "/linked.png"));
    const struct { QByteArray line; QString value; } cases[] = {
        {"logo=STYLE_RESOURCE:own.png", folder + "/own.png"}, {"logo=own.png", folder + "/own.png"},
        {"logo=", ""}, {"logo=" + secret.toUtf8(), "kept"}, {"logo=STYLE_RESOURCE:../secret.txt", "kept"},
        {"logo=STYLE_RESOURCE:linked.png", "kept"}, {"logo=/dev/zero", "kept"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(TestSupport::writeFile(folder + "/tmplSetting.txt", "\n\r" + c.line));
        tmpl.setPropertyValue("logo", "kept");
        tmpl.importPropertiesSettingsFrom(folder + "/tmplSetting.txt");
        EXPECT_EQ(tmpl.propertyValueFor("logo", ""), c.value) << c.line.constData();
    }
}

// Every refusal says why and installs nothing; a theme of a template we lack is no failure. A failed
// export keeps the file it would have replaced.
TEST_F(Themes, BadThemeFilesInstallNothingAndSayWhy) {
    const struct { QString file; QList<std::pair<QString, QByteArray>> entries; bool ok; } cases[] = {
        {"Lost.thm", {{"Meta.xml", meta("NoSuchTemplate")}, {"tmplSetting.txt", "\n\ra=1"}}, true},
        {"NoMeta.thm", {{"tmplSetting.txt", "\n\ra=1"}}, false},
        {"Escape.thm", {{"Meta.xml", meta("Float")}, {"../../escaped.txt", "x"}}, false},
        {"Absolute.thm", {{"Meta.xml", meta("Float")}, {iOut.path() + "/absolute.txt", "x"}}, false},
        {"TemplateEscape.thm", {{"Meta.xml", meta("../..")}, {"tmplSetting.txt", "\n\ra=1"}}, false},
        {"PartialMeta.thm", {{"Meta.xml", "<Meta><FStyleName>x</FStyleName></Meta>"}}, false},
        {"Bomb.thm", {{"Meta.xml", meta("Float")}, {"tmplSetting.txt", QByteArray(8 << 20, 'a')}}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.file.toStdString());
        FlashTemplateStyle importer;
        EXPECT_EQ(importer.importStyleFrom(handMadeTheme(c.file, c.entries)), c.ok);
        EXPECT_FALSE(importer.errorString().isEmpty());
        EXPECT_FALSE(workStyleFolderExists());
    }
    EXPECT_TRUE(filesIn(userStylesRoot()).isEmpty());
    EXPECT_FALSE(QFileInfo::exists(iOut.path() + "/absolute.txt"));
    EXPECT_FALSE(QFileInfo::exists(AppInfo::shareInstance().appWorkdTmpFolder() + "/escaped.txt"));

    TestSupport::writeFile(iOut.path() + "/notzip.thm", "just text");
    for (const char* file : {"/notzip.thm", "/absent.thm"})
        EXPECT_FALSE(FlashTemplateStyle().importStyleFrom(iOut.path() + file)) << file;

    EXPECT_FALSE(FlashTemplateStyle().exprotStyleTo(iOut.path() + "/notzip.thm"));   // no template set
    EXPECT_EQ(TestSupport::readFile(iOut.path() + "/notzip.thm"), "just text");
    EXPECT_FALSE(workStyleFolderExists());
}

}
