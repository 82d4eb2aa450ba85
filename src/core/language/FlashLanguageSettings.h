#pragma once
#include <QString>
#include <QStringList>
#include <pugixml.hpp>

class FlashLanguage;

// The languages chosen for a book ("English;French") and the folders languages live in:
// the meta file and default languages among the resources, and the user's pool of value files.
class FlashLanguageSettings {
public:
    explicit FlashLanguageSettings(const QString& checkedLanguages);

    // Appends a "languages" element holding one "language" element per chosen name, in order.
    pugi::xml_node flashNeededLanguagesAsXMLNode(pugi::xml_node parent) const;
    const QString& checkedLanguages() const { return iCheckedLanguages; }

    static QString languageMetaXMLPath();
    static QString languageValuesPoolFolder();                 // created when missing
    static QString languageValuePathByName(const QString& name); // null when no pool file
    static QStringList languageValuePaths();                   // file names in the pool
    static QStringList defaultLanguageValuePaths();            // full paths of shipped languages
    static void removeLanguageValueByName(const QString& name);
    // Replaces the resources' AppFiles folder (tests); an empty path restores the shipped one.

    // ---- pool operations behind the language window ----
    // Copies each shipped language that the pool lacks; the user's files are never overwritten.
    static void copyDefaultLanguagesToPool();
    // Pool language names in the saved order ("German;English"), then the others in listing order.
    static QStringList orderedLanguageNames(const QString& languageOrder);
    // "Language1", else the first free "Language%d" from 2 on.
    static QString newLanguageName();
    // Reads a value file and saves it into the pool under its own name. A file that cannot be
    // read or lacks info/name is refused: false, the reason in *error, and the pool unchanged.
    static bool importLanguageValueFrom(const QString& path, QString* error = nullptr);
    // Gives the language a new name and moves its pool file: the new file is written before the
    // old one goes. A name that is not a plain file name, or that another pool language already
    // has, is refused (false, the reason in *error) so no language is overwritten.
    static bool renameLanguage(FlashLanguage& language, const QString& newName, QString* error = nullptr);

private:
    QString iCheckedLanguages;
};
