#include "util/AppSettings.h"

#include "TestSupport.h"

#include <QSettings>
#include <gtest/gtest.h>

static const QString kHome = TestSupport::isolateUserFolders();

namespace {
QSettings rawStore() { return QSettings("Quirevale", "LeafMill"); }

AppSettings& freshStart() {
    AppSettings::resetForTesting();
    return AppSettings::shareInstance();
}

class AppSettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QSettings s = rawStore();
        s.clear();
        s.sync();
    }
};
} // namespace

TEST_F(AppSettingsTest, SavedChoicesComeBackAndStartUpRepairsOnlyWhatItShould) {
    AppSettings& s = freshStart();
    s.setOutputType(2);
    s.setImportQualityLevel(3);
    s.setImportLinks(1);
    s.setLastOutputFileName("");
    s.setLastOutputKeyWords("");
    s.setLastImportedFile("/docs/a.pdf");
    s.setRenderEngineType(1);
    s.setIsWindowRollUp(6);
    s.setIsAdvancedModify(1);
    s.saveSettings();

    AppSettings& again = freshStart();
    EXPECT_EQ(again.outputType(), 2);
    EXPECT_EQ(again.importQualityLevel(), 3);
    EXPECT_EQ(again.lastImportedFile(), "/docs/a.pdf");
    EXPECT_EQ(again.lastOutputFileName(), "Quirevale"); // never empty after start-up
    EXPECT_EQ(again.lastOutputFileFolder(), kHome + "/Documents/Quirevale/");
    EXPECT_EQ(again.lastOutputKeyWords(), "");          // may stay empty
    EXPECT_EQ(again.renderEngineType(), 0);             // every run starts with SWF pages
    EXPECT_EQ(again.isWindowRollUp(), 0);
    EXPECT_EQ(again.isAdvancedModify(), 0);

    // Missing or wrong-kind integers leave the field zero.
    QSettings raw = rawStore();
    raw.remove("importLinks");
    raw.setValue("outputType", "not a number");
    raw.sync();
    AppSettings& third = freshStart();
    EXPECT_EQ(third.importLinks(), 0);
    EXPECT_EQ(third.outputType(), 0);
}
