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

} // namespace

TEST(AppSettings, SavedChoicesComeBackAndStartUpRepairsOnlyWhatItShould) {
    rawStore().clear();
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

    // Every run starts with SWF pages and closed panels; the output name is never empty, the keywords may be.
    AppSettings& again = freshStart();
    EXPECT_EQ(QList<int>({again.outputType(), again.importQualityLevel(), again.renderEngineType(), again.isWindowRollUp(),
                          again.isAdvancedModify()}),
              QList<int>({2, 3, 0, 0, 0}));
    EXPECT_EQ(QStringList({again.lastImportedFile(), again.lastOutputFileName(), again.lastOutputFileFolder(),
                           again.lastOutputKeyWords()}),
              QStringList({"/docs/a.pdf", "Quirevale", kHome + "/Documents/Quirevale/", ""}));

    // Missing or wrong-kind integers leave the field zero.
    QSettings raw = rawStore();
    raw.remove("importLinks");
    raw.setValue("outputType", "not a number");
    raw.sync();
    EXPECT_EQ(QList<int>({freshStart().importLinks(), AppSettings::shareInstance().outputType()}), QList<int>({0, 0}));
}
