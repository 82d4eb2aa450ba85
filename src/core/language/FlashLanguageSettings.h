#pragma once
#include <QString>
#include <QStringList>
#include <pugixml.hpp>

// The languages chosen for a book ("English;French") and the user's pool of value files (see
// LanguageFiles for where they live).
class FlashLanguageSettings {
public:
    explicit FlashLanguageSettings(const QString& checkedLanguages);

    // Appends a "languages" element holding one "language" element per chosen name, in order.
    pugi::xml_node flashNeededLanguagesAsXMLNode(pugi::xml_node parent) const;
    const QString& checkedLanguages() const { return iCheckedLanguages; }

    static void removeLanguageValueByName(const QString& name);

    // ---- pool operations behind the language window ----
    // Copies each shipped language that the pool lacks; the user's files are never overwritten.
    static void copyDefaultLanguagesToPool();
    // Pool language names in the saved order ("German;English"), then the others in listing order.
    static QStringList orderedLanguageNames(const QString& languageOrder);
    // "Language1", else the first free "Language%d" from 2 on.
    static QString newLanguageName();

private:
    QString iCheckedLanguages;
};
