#include "language/FlashLanguage.h"
#include "language/FlashLanguageSettings.h"
#include "util/XmlText.h"
#include "util/Log.h"
#include "util/Xml.h"
#include "util/AtomicFile.h"
#include <QFile>

FlashLanguage::FlashLanguage() {
    loadMetaInfoFrom(FlashLanguageSettings::languageMetaXMLPath());
}

void FlashLanguage::fail(const QString& message) {
    iLastError = message;
    spdlog::error("{}", message);
}

void FlashLanguage::loadMetaInfoFrom(const QString& path) {
    iLastError.clear();
    pugi::xml_document doc;
    const Xml::ParseResult parsed = Xml::loadFile(doc, path);
    if (!parsed.ok)
        return fail(QStringLiteral("Can not read meta info from [%1],because:%2").arg(path, parsed.error));
    iMetaItems.clear();
    for (pugi::xml_node element : doc.document_element().child("items").children("item")) {
        FlashLanguageItem item;
        const pugi::xml_attribute key = element.attribute("key");
        item.key = key ? QString::fromUtf8(key.value()) : QString();
        for (const auto& [name, field] : {std::pair{"desc", &item.description},
                                          std::pair{"title", &item.title},
                                          std::pair{"value", &item.value}}) {
            const pugi::xml_node child = element.child(name);
            if (!child)
                return fail(QStringLiteral("%1: item \"%2\" lacks its required element <%3>")
                                .arg(path, item.key, QLatin1String(name)));
            *field = XmlText::wholeText(child);
        }
        iMetaItems.push_back(item);
    }
}

void FlashLanguage::loadFromXMLValue(const QString& path) {
    loadMetaInfoFrom(FlashLanguageSettings::languageMetaXMLPath());
    if (!lastLoadOk())
        return;
    pugi::xml_document doc;
    const Xml::ParseResult parsed = Xml::loadFile(doc, path);
    if (!parsed.ok)
        return fail(QStringLiteral("Can not read value info from [%1],because:%2").arg(path, parsed.error));
    const pugi::xml_node root = doc.document_element();
    const pugi::xml_node name = root.child("info").child("name");
    if (!name)
        return fail(QStringLiteral("%1 lacks the required element <info>/<name>").arg(path));
    iLanguageName = XmlText::wholeText(name);
    for (pugi::xml_node element : root.child("items").children("item")) {
        const QString key = QString::fromUtf8(element.attribute("key").value());
        const pugi::xml_node value = element.child("value");
        if (!value)
            return fail(QStringLiteral("%1: item \"%2\" lacks its required element <value>").arg(path, key));
        setLangItemValue(XmlText::wholeText(value), key);
    }
}

void FlashLanguage::loadValueByLanguageName(const QString& name) {
    const QString path = FlashLanguageSettings::languageValuePathByName(name);
    if (!path.isNull())
        loadFromXMLValue(path);
}

void FlashLanguage::setLangItemValue(const QString& text, const QString& key) {
    for (FlashLanguageItem& item : iMetaItems) {
        if (item.key == key) {
            item.value = text;
            return;
        }
    }
}

pugi::xml_node FlashLanguage::flashNeededXMLNode(pugi::xml_node parent) const {
    pugi::xml_node language = parent.append_child("language");
    language.append_child("info").append_child("name").text().set(Xml::utf8(iLanguageName).c_str());
    pugi::xml_node items = language.append_child("items");
    for (const FlashLanguageItem& item : iMetaItems) {
        pugi::xml_node element = items.append_child("item");
        element.append_attribute("key").set_value(Xml::utf8(item.key).c_str());
        element.append_child("value").text().set(Xml::utf8(item.value).c_str());
    }
    return language;
}

QByteArray FlashLanguage::langXML() const {
    pugi::xml_document doc;
    flashNeededXMLNode(doc);
    return Xml::toBytes(doc, false, true);
}

void FlashLanguage::save() const {
    if (iLanguageName.isEmpty()) {
        spdlog::error("A language without a name cannot be saved into the pool");
        return;
    }
    saveTo(FlashLanguageSettings::languageValuesPoolFolder() + iLanguageName + ".xml");
}

void FlashLanguage::saveTo(const QString& path) const {
    QFile::remove(path);
    if (!AtomicFile::write(path, langXML()))
        spdlog::error("Could not write the language file {}", path);
}
