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

    // The loads answer false (errorString() says why) when the file cannot be read or misses a
    // required element; the items keep what was read before.
    // Replaces the items with the meta file's items and default texts.
    bool loadMetaInfoFrom(const QString& path);
    // Reloads the meta defaults, then applies the value file's name and texts.
    bool loadFromXMLValue(const QString& path);
    // A language without a pool file leaves the items as they are.
    bool loadValueByLanguageName(const QString& name);
    void setLangItemValue(const QString& text, const QString& key);

    // Appends the "language" element (info/name, items/item[@key]/value) under parent.
    pugi::xml_node flashNeededXMLNode(pugi::xml_node parent) const;
    // Compact XML with "language" as the root.
    QByteArray langXML() const;
    void save() const;
    // Reads a value file and saves it into the pool under its own name. A file that cannot be
    // read or lacks a usable info/name is refused: false, errorString() says why, the pool is
    // unchanged.
    bool importIntoPool(const QString& path);
    // Gives the language a new name and moves its pool file: the new file is written before the
    // old one goes. A name that is not a plain file name, or that another pool language already
    // has, is refused (false, errorString() says why) so no language is overwritten.
    bool rename(const QString& newName);
    void saveTo(const QString& path) const;

    const QString& languageName() const { return iLanguageName; }
    void setLanguageName(const QString& name) { iLanguageName = name; }
    const std::vector<FlashLanguageItem>& metaItems() const { return iMetaItems; }
    std::vector<FlashLanguageItem>& metaItems() { return iMetaItems; }

    const QString& errorString() const { return iErrorString; }

private:
    bool fail(const QString& message);

    QString iLanguageName;
    std::vector<FlashLanguageItem> iMetaItems;
    QString iErrorString;
};
