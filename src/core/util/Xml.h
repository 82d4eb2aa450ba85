#pragma once
#include <QByteArray>
#include <QString>
#include <pugixml.hpp>

// XML reading and writing on pugixml. Parsing keeps white space and CDATA sections; when the
// strict parse fails, libxml2's recovering parser repairs the markup and the result is parsed.
namespace Xml {
struct ParseResult {
    bool ok = false;
    bool repaired = false; // the lenient pass was needed
    QString error;         // why the strict parse failed (also set when repaired)
};
ParseResult load(pugi::xml_document& doc, const QByteArray& bytes);
ParseResult loadFile(pugi::xml_document& doc, const QString& path);
// Strict parse only.
ParseResult loadStrict(pugi::xml_document& doc, const QByteArray& bytes);

// Empty when the bytes are a well-formed XML 1.0 document as browsers read it (forbidden
// characters included, which the pugixml parse lets pass), else why not.
QString wellFormedError(const QByteArray& bytes);

// Pretty-printed UTF-8 (characters XML 1.0 forbids are left out) with an XML declaration (documents) or the node alone.
QByteArray toBytes(const pugi::xml_node& node, bool pretty = true, bool declaration = true);
bool saveFile(const pugi::xml_document& doc, const QString& path);

inline QString str(const char* s) { return QString::fromUtf8(s); }
inline QString text(const pugi::xml_node& n) { return QString::fromUtf8(n.text().get()); }
inline QString attr(const pugi::xml_node& n, const char* name) { return QString::fromUtf8(n.attribute(name).value()); }
inline std::string utf8(const QString& s) { return s.toStdString(); }
}
