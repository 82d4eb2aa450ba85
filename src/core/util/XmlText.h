#pragma once
#include <QString>
#include <pugixml.hpp>
#include <string>

// The whole text content of an element (every text and CDATA piece below it, in order).
// An empty element gives an empty, not a null, string.
namespace XmlText {
inline void appendText(const pugi::xml_node& node, std::string& out) {
    for (pugi::xml_node child : node.children()) {
        if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata)
            out += child.value();
        else if (child.type() == pugi::node_element)
            appendText(child, out);
    }
}
inline QString wholeText(const pugi::xml_node& node) {
    std::string out;
    appendText(node, out);
    QString text = QString::fromStdString(out);
    return text.isNull() ? QString(QLatin1String("")) : text;
}
}
