#include "outline/FlashOutline.h"

#include "util/NamedException.h"

pugi::xml_node FlashOutline::outlineAsXMLNode(pugi::xml_node parentNode) const
{
    pugi::xml_node node = parentNode.append_child("ols");
    for (const auto& item : iItems)
        item->outlineItemAsXMLNode(node);
    return node;
}

void FlashOutline::loadFromXMLNode(const pugi::xml_node& node)
{
    if (node.type() != pugi::node_element || qstrcmp(node.name(), "ols") != 0)
        throw NamedException(QStringLiteral("ERROR_INIT_OUTLINES"), QStringLiteral("Not a flash outline"));
    FlashOutlineItemList items;
    for (pugi::xml_node itemNode : node.children("o")) {
        auto item = std::make_shared<FlashOutlineItem>();
        item->loadItemFromXMLNode(itemNode);
        items.append(item);
    }
    iItems = items;
}
