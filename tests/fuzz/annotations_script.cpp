// Page links from arbitrary XML turned into the script literal the mobile page embeds: the
// text must neither end the page's script element nor break a line inside a string.
#include "FuzzSupport.h"
#include "annotations/FlashPagesAnnotations.h"
#include "util/NamedException.h"
#include "util/Xml.h"

FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pugi::xml_document doc;
    if (!Xml::load(doc, FuzzSupport::bytes(data, size)).ok)
        return 0;
    FlashPagesAnnotations links;
    links.setPagesAnnotationsNode(doc.document_element());
    QString script;
    try {
        script = links.AnnosXML2JS();
    } catch (const NamedException&) {
        return 0;  // nesting too deep
    }
    FUZZ_CHECK(!script.contains(QStringLiteral("</"), Qt::CaseInsensitive));
    FUZZ_CHECK(!script.contains(QLatin1Char('\n')) && !script.contains(QLatin1Char('\r')));
    return 0;
}
