#pragma once
#include <QList>
#include <QString>
#include <memory>
#include <pugixml.hpp>

class FlashOutlineItem;
using FlashOutlineItemList = QList<std::shared_ptr<FlashOutlineItem>>;

// One entry of the book's table of contents: a caption pointing at a 1-based PDF page number
// (0 when the entry has no target page), with its sub-entries.
class FlashOutlineItem {
public:
    // Nesting deeper than this is refused when reading, so hostile input cannot exhaust the stack.
    static constexpr int kMaxDepth = 256;

    FlashOutlineItem() = default;
    FlashOutlineItem(const FlashOutlineItem&) = delete;
    FlashOutlineItem& operator=(const FlashOutlineItem&) = delete;

    const QString& caption() const { return iCaption; }
    void setCaption(const QString& caption) { iCaption = caption; }
    int pageIndex() const { return iPageIndex; }
    void setPageIndex(int pageIndex) { iPageIndex = pageIndex; }
    const FlashOutlineItemList& childItems() const { return iChildItems; }
    int level() const { return iLevel; }
    void setLevel(int level) { iLevel = level; }

    // Leaves the child's level as it is.
    void addChild(const std::shared_ptr<FlashOutlineItem>& item);

    // Appends a new "o" element for this entry and, recursively, its sub-entries to parentNode.
    pugi::xml_node outlineItemAsXMLNode(pugi::xml_node parentNode) const;
    // Throws NamedException "ERROR_INIT_OUTLINE_ITEM" for an element that is not an "o" or that
    // nests too deeply; the item is left unchanged then.
    void loadItemFromXMLNode(const pugi::xml_node& node);

private:
    void loadItemFromXMLNode(const pugi::xml_node& node, int depth);

    QString iCaption;
    int iPageIndex = 0;
    FlashOutlineItemList iChildItems;
    int iLevel = 0;
};
