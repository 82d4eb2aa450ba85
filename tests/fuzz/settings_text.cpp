// Settings text from arbitrary bytes imported into the shipped default template; the page size
// survives every import, and the settings write out again.
#include "FuzzSupport.h"
#include "templates/FlashTemplate.h"

FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = FuzzSupport::scratch() + QStringLiteral("/tmplSetting.txt");
    TestSupport::writeFile(path, FuzzSupport::bytes(data, size));
    FlashTemplate flashTemplate;  // the shipped default template and theme
    FUZZ_CHECK(!flashTemplate.properties().empty());
    const QString width = flashTemplate.propertyValueFor(QStringLiteral("pageWidth"), {});
    flashTemplate.importPropertiesSettingsFrom(path);
    FUZZ_CHECK(flashTemplate.propertyValueFor(QStringLiteral("pageWidth"), {}) == width);
    QStringList entries;
    flashTemplate.exportPropertiesSettingsToArray(entries, nullptr, false);
    return 0;
}
