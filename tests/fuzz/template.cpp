// A template description (flashTemplate.xml) from arbitrary bytes is loaded from a private
// template folder, and the loaded settings tree is walked and written out as settings text.
#include "FuzzSupport.h"
#include "templates/FlashTemplate.h"
#include "util/NamedException.h"
#include "util/Resources.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    FuzzSupport::quiet();
    Resources::setAppFilesRoot(FuzzSupport::freshFolder(QStringLiteral("AppFiles")));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString folder = FuzzSupport::scratch() + QStringLiteral("/AppFiles/Templates/Fuzz");
    TestSupport::writeFile(folder + QStringLiteral("/flashTemplate.xml"), FuzzSupport::bytes(data, size));
    FlashTemplate flashTemplate(FlashTemplate::Empty{});
    try {
        flashTemplate.loadTemplate(QStringLiteral("Fuzz"));
    } catch (const NamedException& e) {
        FUZZ_CHECK(!e.reason().isEmpty());
        return 0;
    }
    flashTemplate.forEachProperty([](FlashTemplateProperty&) {});
    QStringList entries;
    flashTemplate.exportPropertiesSettingsToArray(entries, nullptr, false);
    flashTemplate.tmplHTMLFilePath();
    flashTemplate.mobileTmplFilesPath();
    return 0;
}
