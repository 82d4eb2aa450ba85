#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <pugixml.hpp>

// The clickable links of all book pages, kept as the "pagesAnnos" element the book description
// embeds, and its script form for the mobile book.
class FlashPagesAnnotations {
public:
    // Nesting deeper than this is refused by the script conversion (NamedException
    // "ERROR_PAGES_ANNOTATIONS"), so hostile input cannot exhaust the stack.
    static constexpr int kMaxDepth = 256;

    FlashPagesAnnotations();
    virtual ~FlashPagesAnnotations();
    FlashPagesAnnotations(const FlashPagesAnnotations&) = delete;
    FlashPagesAnnotations& operator=(const FlashPagesAnnotations&) = delete;

    // Absolute paths of files the links refer to; publishing copies those that exist.
    const QStringList& needFiles() const { return iNeedFiles; }
    QStringList& needFiles() { return iNeedFiles; }
    void setNeedFiles(const QStringList& needFiles) { iNeedFiles = needFiles; }

    // The "pagesAnnos" element, owned by this object; a null node until links are loaded or set.
    pugi::xml_node pagesAnnotationsNode() const;
    // Keeps a copy of the element, so the caller's document may go; a null node clears.
    void setPagesAnnotationsNode(const pugi::xml_node& node);

    // "[" page, page, ... "];" -- "[];" without an element.
    QString AnnosXML2JS() const;
    static QString ParseXML2JS(const pugi::xml_node& node);
    // The script forms of the node's children, concatenated (the children write their own commas).
    static QString ParseXML2JSChild(const pugi::xml_node& node);
    // name:"value" pieces joined with ",".
    static QString ParseAttribute(const pugi::xml_object_range<pugi::xml_attribute_iterator>& attributes);
    // Makes text safe inside a double-quoted script string; line breaks become "<br/>".
    static QString AdjustString(const QString& text);

protected:
    // Replaces the element with a new, empty "pagesAnnos" element and returns it.
    pugi::xml_node resetPagesAnnotationsNode();

private:
    QStringList iNeedFiles;
    std::unique_ptr<pugi::xml_document> iPagesAnnotationsNode; // holds the element, or nothing
};
