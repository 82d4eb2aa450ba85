#include "util/Xml.h"
#include "util/AtomicFile.h"

#include <QFile>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <cstdlib>
#include <sstream>

namespace Xml {

namespace {

constexpr unsigned kParseFlags = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;

// Runs libxml2's recovering parser over broken markup and returns what it could make of it.
QByteArray recoverWithLibxml(const QByteArray& bytes) {
    xmlDocPtr doc = xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_RECOVER | XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    if (!doc) return {};
    QByteArray out;
    if (xmlDocGetRootElement(doc)) {
        xmlChar* mem = nullptr;
        int size = 0;
        xmlDocDumpMemoryEnc(doc, &mem, &size, "UTF-8");
        if (mem) {
            out = QByteArray(reinterpret_cast<const char*>(mem), size);
            xmlFree(mem);
        }
    }
    xmlFreeDoc(doc);
    return out;
}

} // namespace

ParseResult loadStrict(pugi::xml_document& doc, const QByteArray& bytes) {
    ParseResult result;
    const pugi::xml_parse_result parsed = doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()), kParseFlags);
    result.ok = parsed && doc.document_element();
    if (!result.ok)
        result.error = parsed ? QStringLiteral("no root element")
                              : QStringLiteral("%1 at offset %2").arg(QString::fromUtf8(parsed.description())).arg(parsed.offset);
    return result;
}

QString wellFormedError(const QByteArray& bytes) {
    xmlResetLastError();
    xmlDocPtr doc = xmlReadMemory(bytes.constData(), static_cast<int>(bytes.size()), nullptr, nullptr,
                                  XML_PARSE_NONET | XML_PARSE_HUGE | XML_PARSE_NOERROR | XML_PARSE_NOWARNING);
    QString error;
    if (!doc || !xmlDocGetRootElement(doc)) {
        const xmlError* last = xmlGetLastError();
        error = last && last->message ? QString::fromUtf8(last->message).trimmed() : QStringLiteral("no root element");
        if (last)
            error += QStringLiteral(" (line %1)").arg(last->line);
    }
    xmlFreeDoc(doc);
    return error;
}

ParseResult load(pugi::xml_document& doc, const QByteArray& bytes) {
    ParseResult result = loadStrict(doc, bytes);
    if (result.ok) return result;
    const QByteArray repaired = recoverWithLibxml(bytes);
    if (!repaired.isEmpty() && loadStrict(doc, repaired).ok) {
        result.ok = true;
        result.repaired = true;
    } else {
        doc.reset();
    }
    return result;
}

ParseResult loadFile(pugi::xml_document& doc, const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        ParseResult result;
        result.error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return result;
    }
    return load(doc, file.readAll());
}

namespace {
// Drops what XML 1.0 does not allow in a document: control characters other than tab, line feed
// and carriage return, U+FFFE, U+FFFF and surrogate code points. A PDF's bookmark titles and link
// addresses may hold any of them; written as they are, no parser would read the document.
bool isForbidden(unsigned long code) {
    return (code < 0x20 && code != '\t' && code != '\n' && code != '\r') || (code >= 0xD800 && code <= 0xDFFF)
        || code == 0xFFFE || code == 0xFFFF || code > 0x10FFFF;
}

// The length of a character reference "&#N;" or "&#xH;" at i that names a forbidden character
// (the writer spells control characters that way), else 0.
size_t forbiddenReferenceAt(const std::string& text, size_t i) {
    if (text.compare(i, 2, "&#") != 0)
        return 0;
    const bool hex = i + 2 < text.size() && text[i + 2] == 'x';
    const size_t digits = i + (hex ? 3 : 2);
    const size_t end = text.find(';', digits);
    if (end == std::string::npos || end == digits || end - digits > 8)
        return 0;
    char* stop = nullptr;
    const unsigned long code = std::strtoul(text.c_str() + digits, &stop, hex ? 16 : 10);
    return stop == text.c_str() + end && isForbidden(code) ? end - i + 1 : 0;
}

std::string withoutForbiddenCharacters(const std::string& text) {
    std::string clean;
    clean.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (const size_t reference = forbiddenReferenceAt(text, i)) {
            i += reference - 1;
            continue;
        }
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r')
            continue;
        if (byte == 0xEF && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) == 0xBF
            && (static_cast<unsigned char>(text[i + 2]) & 0xFE) == 0xBE) {
            i += 2;
            continue;
        }
        if (byte == 0xED && i + 2 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0xA0) {
            i += 2;
            continue;
        }
        clean.push_back(text[i]);
    }
    return clean;
}
}

QByteArray toBytes(const pugi::xml_node& node, bool pretty, bool declaration) {
    std::ostringstream out;
    unsigned flags = pugi::format_default;
    if (!pretty) flags = pugi::format_raw;
    if (node.type() == pugi::node_document) {
        const bool hasDeclaration = node.first_child().type() == pugi::node_declaration;
        if (declaration && !hasDeclaration) out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        if (!declaration) flags |= pugi::format_no_declaration;
        node.print(out, "    ", flags, pugi::encoding_utf8);
    } else {
        if (declaration) out << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
        node.print(out, "    ", flags, pugi::encoding_utf8);
    }
    const std::string s = withoutForbiddenCharacters(out.str());
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

bool saveFile(const pugi::xml_document& doc, const QString& path) {
    return AtomicFile::write(path, toBytes(doc));
}

} // namespace Xml
