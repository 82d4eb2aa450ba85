#include "outline/FlashOutlineItem.h"

#include "util/NamedException.h"
#include "util/NumberText.h"
#include "util/Xml.h"


namespace {
const QString kItemError = QStringLiteral("ERROR_INIT_OUTLINE_ITEM");

void appendText(pugi::xml_node parent, const char* name, const QString& text)
{
    parent.append_child(name).append_child(pugi::node_pcdata).set_value(Xml::utf8(text).c_str());
}
}

void FlashOutlineItem::addChild(const std::shared_ptr<FlashOutlineItem>& item)
{
    iChildItems.append(item);
}

pugi::xml_node FlashOutlineItem::outlineItemAsXMLNode(pugi::xml_node parentNode) const
{
    pugi::xml_node node = parentNode.append_child("o");
    appendText(node, "c", iCaption.isNull() ? QStringLiteral("(null)") : iCaption);
    appendText(node, "p", QString::number(iPageIndex));
    appendText(node, "l", QString::number(iLevel));
    pugi::xml_node children = node.append_child("ci");
    for (const auto& child : iChildItems)
        child->outlineItemAsXMLNode(children);
    return node;
}

void FlashOutlineItem::loadItemFromXMLNode(const pugi::xml_node& node)
{
    loadItemFromXMLNode(node, 1);
}

void FlashOutlineItem::loadItemFromXMLNode(const pugi::xml_node& node, int depth)
{
    if (node.type() != pugi::node_element || qstrcmp(node.name(), "o") != 0)
        throw NamedException(kItemError, QStringLiteral("Not a flash outline item"));
    if (depth > kMaxDepth)
        throw NamedException(kItemError, QStringLiteral("Flash outline nested too deeply"));

    FlashOutlineItemList children;
    for (pugi::xml_node childNode : node.child("ci").children("o")) {
        auto child = std::make_shared<FlashOutlineItem>();
        child->loadItemFromXMLNode(childNode, depth + 1);
        children.append(child);
    }
    if (pugi::xml_node c = node.child("c"))
        iCaption = Xml::text(c);
    if (pugi::xml_node p = node.child("p"))
        iPageIndex = NumberText::lenientInt(Xml::text(p));
    if (pugi::xml_node l = node.child("l"))
        iLevel = NumberText::lenientInt(Xml::text(l));
    iChildItems.clear();
    for (const auto& child : children)
        addChild(child);
}
