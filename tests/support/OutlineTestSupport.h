#pragma once
#include "outline/FlashOutline.h"
#include "util/Xml.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

namespace OutlineTestSupport {
// The outline as the book description writes it, in one line: captions, pages, levels and nesting.
inline QString compact(const FlashOutline& outline) {
    pugi::xml_document doc;
    outline.outlineAsXMLNode(doc);
    return QString::fromUtf8(Xml::toBytes(doc.document_element(), false, false));
}
}
