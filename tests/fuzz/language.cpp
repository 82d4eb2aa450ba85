// Language files from arbitrary bytes, read as the meta file and as a value file; whatever was
// read must write out as a language table again.
#include "FuzzSupport.h"
#include "language/FlashLanguage.h"

FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path = FuzzSupport::scratch() + QStringLiteral("/language.xml");
    TestSupport::writeFile(path, FuzzSupport::bytes(data, size));
    FlashLanguage asMeta;
    FUZZ_CHECK(asMeta.loadMetaInfoFrom(path) || !asMeta.errorString().isEmpty());
    asMeta.langXML();
    FlashLanguage asValues;
    asValues.loadFromXMLValue(path);
    asValues.langXML();
    return 0;
}
