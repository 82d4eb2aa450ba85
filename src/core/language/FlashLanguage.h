#pragma once
#include "language/FlashLanguageItem.h"
#include <QString>
#include <pugixml.hpp>
#include <vector>

// One interface language of the book player: a name and a text for every item of the meta file.
class FlashLanguage {
public:
    // No name; the items hold the meta file's default texts.
    FlashLanguage();

    // Replaces the items with the meta file's items and default texts.
    void loadMetaInfoFrom(const QString& path);
    // Reloads the meta defaults, then applies the value file's name and texts.
    void loadFromXMLValue(const QString& path);
    void loadValueByLanguageName(const QString& name);
    void setLangItemValue(const QString& text, const QString& key);

    // Appends the "language" element (info/name, items/item[@key]/value) under parent.
    pugi::xml_node flashNeededXMLNode(pugi::xml_node parent) const;
    // Compact XML with "language" as the root.
    QByteArray langXML() const;
    void save() const;
    void saveTo(const QString& path) const;

    const QString& languageName() const { return iLanguageName; }
    void setLanguageName(const QString& name) { iLanguageName = name; }
    const std::vector<FlashLanguageItem>& metaItems() const { return iMetaItems; }
    std::vector<FlashLanguageItem>& metaItems() { return iMetaItems; }

    // False (with the reason) when the last load could not read its file or missed a required
    // element; the items keep what was read before.
    bool lastLoadOk() const { return iLastError.isEmpty(); }
    const QString& lastError() const { return iLastError; }

private:
    void fail(const QString& message);

    QString iLanguageName;
    std::vector<FlashLanguageItem> iMetaItems;
    QString iLastError;
};
