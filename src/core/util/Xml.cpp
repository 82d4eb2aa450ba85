#include "util/Xml.h"

#include <QFile>
#include <QSaveFile>

#include <libxml/parser.h>
#include <libxml/tree.h>

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
    const std::string s = out.str();
    return QByteArray(s.data(), static_cast<qsizetype>(s.size()));
}

bool saveFile(const pugi::xml_document& doc, const QString& path) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) return false;
    file.write(toBytes(doc));
    return file.commit();
}

} // namespace Xml
