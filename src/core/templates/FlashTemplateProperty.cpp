#include "templates/FlashTemplateProperty.h"
#include "templates/StringUtil.h"
#include "util/XmlText.h"
#include "util/NamedException.h"

namespace {
QString requiredText(const pugi::xml_node& property, const char* name) {
    const pugi::xml_node element = property.child(name);
    if (!element)
        throw NamedException(QStringLiteral("FlashTemplatePropertyFormatErr"),
                             QStringLiteral("a property element lacks its required element <%1>")
                                 .arg(QLatin1String(name)));
    return XmlText::wholeText(element);
}
}

void FlashTemplateProperty::loadFromNode(const pugi::xml_node& node) {
    if (!node || QLatin1String(node.name()) != QLatin1String("property"))
        return;
    iParent = nullptr;
    iKey = requiredText(node, "key");
    iTitle = requiredText(node, "title");
    iDesc = requiredText(node, "desc");
    iValue = requiredText(node, "value");
    iValueSource = requiredText(node, "valueSource");
    iDefaultValue = requiredText(node, "defalutValue");
    const pugi::xml_attribute type = node.attribute("type");
    const QString typeName = type ? QString::fromUtf8(type.value()) : QString();
    const pugi::xml_node aTitleNode = node.child("aTitle");
    iATitle = aTitleNode ? XmlText::wholeText(aTitleNode) : QString(QLatin1String(""));
    iPropertyType = StringUtil::flashTemplatePropertyTypeFromString(typeName);
    if (node.attribute("aType"))
        iPropertyType = pt_bool;
    iChildProperties.clear();
    for (pugi::xml_node element : node.child("childProperties").children("property")) {
        auto child = std::make_unique<FlashTemplateProperty>();
        child->loadFromNode(element);
        appendChild(std::move(child));
    }
}

void FlashTemplateProperty::setChildProperties(Children children) {
    iChildProperties = std::move(children);
    for (auto& child : iChildProperties)
        child->setParent(this);
}

FlashTemplateProperty* FlashTemplateProperty::appendChild(std::unique_ptr<FlashTemplateProperty> child) {
    child->setParent(this);
    iChildProperties.push_back(std::move(child));
    return iChildProperties.back().get();
}
