#pragma once
#include "outline/FlashOutlineItem.h"

// The book's table of contents. Its XML form is the "ols" element the book description embeds.
class FlashOutline {
public:
    FlashOutline() = default;
    virtual ~FlashOutline() = default;
    FlashOutline(const FlashOutline&) = delete;
    FlashOutline& operator=(const FlashOutline&) = delete;
    FlashOutline(FlashOutline&&) = default;
    FlashOutline& operator=(FlashOutline&&) = default;

    const FlashOutlineItemList& items() const { return iItems; }
    void setItems(const FlashOutlineItemList& items) { iItems = items; }

    // Appends a new "ols" element holding every top-level entry's "o" element to parentNode and
    // returns it.
    pugi::xml_node outlineAsXMLNode(pugi::xml_node parentNode) const;
    // Replaces the items with the entries of an "ols" element. Throws NamedException
    // "ERROR_INIT_OUTLINES" for another element, or passes on "ERROR_INIT_OUTLINE_ITEM" from an
    // entry; the items stay as they were then.
    void loadFromXMLNode(const pugi::xml_node& node);

protected:
    FlashOutlineItemList iItems;
};
