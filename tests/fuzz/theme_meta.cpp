// A theme's Meta.xml from arbitrary bytes.
#include "FuzzSupport.h"
#include "templates/FlashTemplateStyle.h"
#include "util/NamedException.h"

FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = FuzzSupport::scratch() + QStringLiteral("/Meta.xml");
    TestSupport::writeFile(path, FuzzSupport::bytes(data, size));
    FlashTemplateStyle style;
    try {
        style.readMetaInfoFrom(path);
    } catch (const NamedException& e) {
        FUZZ_CHECK(!e.reason().isEmpty());
    }
    return 0;
}
