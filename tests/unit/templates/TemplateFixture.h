#pragma once
// A private AppFiles folder and user folders for template tests, and writers for small templates.
#include "util/Resources.h"
#include "TemplateXml.h"
#include "TestSupport.h"
#include "templates/FlashTemplate.h"
#include "util/BriskUtility.h"
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace TemplateFixture {

inline const QString kHome = TestSupport::isolateUserFolders();

using TemplateXml::description;
using TemplateXml::property;

inline QString userTemplatesRoot() { return BriskUtility::applicationSupportRoot() + "/Quirevale/flipbook/Templates/"; }
inline QString userStylesRoot() { return BriskUtility::applicationSupportRoot() + "/Quirevale/flipbook/Styles/"; }

// Each test gets a fresh AppFiles folder and empty user template and theme folders.
class TemplateTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(iAppFiles.isValid());
        Resources::setAppFilesRoot(iAppFiles.path());
        QDir(BriskUtility::applicationSupportRoot() + "/Quirevale").removeRecursively();
    }
    void TearDown() override { Resources::setAppFilesRoot({}); }

    QString builtIn(const QString& relative) const { return iAppFiles.path() + '/' + relative; }

    void addTemplate(const QString& root, const QString& name, const QByteArray& xml) {
        ASSERT_TRUE(TestSupport::writeFile(root + '/' + name + "/flashTemplate.xml", xml));
        ASSERT_TRUE(TestSupport::writeFile(root + '/' + name + "/book.swf", "SWF-" + name.toUtf8()));
    }
    void addBuiltInTemplate(const QString& name, const QByteArray& xml) { addTemplate(builtIn("Templates"), name, xml); }
    void addTheme(const QString& root, const QString& tmpl, const QString& theme, const QByteArray& settings) {
        ASSERT_TRUE(TestSupport::writeFile(root + '/' + tmpl + '/' + theme + "/tmplSetting.txt", settings));
    }
    void addBuiltInTheme(const QString& tmpl, const QString& theme, const QByteArray& settings) {
        addTheme(builtIn("Styles"), tmpl, theme, settings);
    }

    QTemporaryDir iAppFiles;
};

}
