#include "language/FlashLanguage.h"
#include "language/LanguageFiles.h"
#include "util/XmlText.h"
#include "util/Log.h"
#include "util/Xml.h"
#include "util/AtomicFile.h"
#include <QFile>

namespace {
// A name that stays a plain file name inside the pool.
bool isSafeLanguageName(const QString& name) {
    return !name.isEmpty() && !name.startsWith('.') && !name.contains('/') && !name.contains('\\');
}
}

FlashLanguage::FlashLanguage() {
    loadMetaInfoFrom(LanguageFiles::languageMetaXMLPath());
}

bool FlashLanguage::fail(const QString& message) {
    iErrorString = message;
    spdlog::error("{}", message);
    return false;
}

bool FlashLanguage::loadMetaInfoFrom(const QString& path) {
    iErrorString.clear();
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
    return true;
}

bool FlashLanguage::loadFromXMLValue(const QString& path) {
    if (!loadMetaInfoFrom(LanguageFiles::languageMetaXMLPath()))
        return false;
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
    return true;
}

bool FlashLanguage::loadValueByLanguageName(const QString& name) {
    const QString path = LanguageFiles::languageValuePathByName(name);
    return path.isNull() ? iErrorString.isEmpty() : loadFromXMLValue(path);
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

bool FlashLanguage::importIntoPool(const QString& path) {
    if (!loadFromXMLValue(path))
        return false;
    if (!isSafeLanguageName(iLanguageName))
        return fail(QStringLiteral("%1 names no usable language (info/name is \"%2\")").arg(path, iLanguageName));
    save();
    return true;
}

bool FlashLanguage::rename(const QString& newName) {
    const QString oldName = iLanguageName;
    if (newName == oldName)
        return true;
    if (!isSafeLanguageName(newName))
        return fail(QStringLiteral("\"%1\" cannot name a language.").arg(newName));
    if (!LanguageFiles::languageValuePathByName(newName).isNull())
        return fail(QStringLiteral("A language named \"%1\" exists already.").arg(newName));
    iLanguageName = newName;
    save();
    if (!oldName.isEmpty())
        QFile::remove(LanguageFiles::languageValuesPoolFolder() + oldName + ".xml");
    return true;
}

void FlashLanguage::save() const {
    if (iLanguageName.isEmpty()) {
        spdlog::error("A language without a name cannot be saved into the pool");
        return;
    }
    saveTo(LanguageFiles::languageValuesPoolFolder() + iLanguageName + ".xml");
}

void FlashLanguage::saveTo(const QString& path) const {
    QFile::remove(path);
    if (!AtomicFile::write(path, langXML()))
        spdlog::error("Could not write the language file {}", path);
}
