#pragma once
#include "templates/FlashTemplatePropertyType.h"

#include <QString>
#include <memory>
#include <vector>
#include <pugixml.hpp>

// One setting (or group of settings) of a template. Values are always text; a node owns its children.
class FlashTemplateProperty {
public:
    using Children = std::vector<std::unique_ptr<FlashTemplateProperty>>;

    FlashTemplateProperty() = default;
    FlashTemplateProperty(const FlashTemplateProperty&) = delete;
    FlashTemplateProperty& operator=(const FlashTemplateProperty&) = delete;

    // Fills the node and its subtree from a "property" element. Any other element leaves the node
    // as it is. Throws NamedException("FlashTemplatePropertyFormatErr") when a required child
    // element is missing; children appended before that stay.
    void loadFromNode(const pugi::xml_node& node);

    int childCount() const { return int(iChildProperties.size()); }

    FlashTemplateProperty* parent() const { return iParent; }
    void setParent(FlashTemplateProperty* p) { iParent = p; }
    int propertyType() const { return iPropertyType; }
    void setPropertyType(int t) { iPropertyType = t; }
    const QString& key() const { return iKey; }
    void setKey(const QString& v) { iKey = v; }
    const QString& title() const { return iTitle; }
    void setTitle(const QString& v) { iTitle = v; }
    const QString& aTitle() const { return iATitle; }
    void setATitle(const QString& v) { iATitle = v; }
    const QString& desc() const { return iDesc; }
    void setDesc(const QString& v) { iDesc = v; }
    const QString& value() const { return iValue; }
    void setValue(const QString& v) { iValue = v; }
    const QString& valueSource() const { return iValueSource; }
    void setValueSource(const QString& v) { iValueSource = v; }
    const QString& defaultValue() const { return iDefaultValue; }
    void setDefaultValue(const QString& v) { iDefaultValue = v; }

    const Children& childProperties() const { return iChildProperties; }
    Children& childProperties() { return iChildProperties; }
    // Replaces the whole list; the new children get this node as parent.
    void setChildProperties(Children children);
    FlashTemplateProperty* appendChild(std::unique_ptr<FlashTemplateProperty> child);

private:
    FlashTemplateProperty* iParent = nullptr; // back reference, not an owner
    int iPropertyType = pt_text;
    QString iKey;
    QString iTitle = QStringLiteral("Empty");
    QString iATitle;
    QString iDesc;
    QString iValue;
    QString iValueSource;
    QString iDefaultValue;
    Children iChildProperties;
};
