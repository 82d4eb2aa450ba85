#pragma once
#include "templates/FlashTemplateProperty.h"
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// The book's current template: the catalogue of templates and themes on disk, the loaded
// description (flashTemplate.xml) and its settings tree, and value lookups by key.
// Lookups walk the tree depth-first in pre-order; the first node with the key wins.
class FlashTemplate {
public:
    using Properties = std::vector<std::unique_ptr<FlashTemplateProperty>>;

    // Loads the template "Float" with its default theme; a failure is logged and leaves the
    // template empty (use loadTemplate to learn the reason).
    FlashTemplate();
    // An empty template that loads nothing; tests and callers that load another template use it.
    struct Empty {};
    explicit FlashTemplate(Empty);
    FlashTemplate(const FlashTemplate&) = delete;
    FlashTemplate& operator=(const FlashTemplate&) = delete;

    // ---- catalogue ----
    static QString builtInTemplatesFolder();   // resources AppFiles/Templates/
    static QString userTemplatesFolder();      // application support Quirevale/flipbook/Templates/
    static QString builtInStylesFolder();      // resources AppFiles/Styles/
    static QString userStylesFolder();         // application support Quirevale/flipbook/Styles/
    static QString templateDataFolder();       // resources AppFiles/
    static QString otherScriptFolder();        // resources AppFiles/TmplData/
    static QString mobileTemplatesFolder();    // resources AppFiles/TmplData/mobile/
    // Replaces the resources' AppFiles folder (tests); an empty path restores the shipped one.

    static QStringList tmplNames();
    static QString tmplPathForName(const QString& name);      // ends with "/"; null when not found
    static QString tmplMetaPathForName(const QString& name);  // null when not found
    static QStringList tmplStyleNamesForTmpl(const QString& tmplName); // theme folder paths
    static QString stylePathFor(const QString& tmplName, const QString& styleName); // "" when none

    // ---- loading ----
    // Throws NamedException ("FlashTemplateLoadErr", "FlashTemplatePropertyFormatErr") when the
    // template is not installed or its description lacks a required element; the reason names
    // the file and the element.
    void loadTemplate(const QString& name);
    // Switches template and theme, keeping "pageWidth", "pageHeight" and "languageSetting".
    void changeTmplTo(const QString& name, const QString& stylePath);
    void loadStyleByStyleName(const QString& styleName);
    void loadStyleByStylePath(const QString& stylePath);
    void removeTheWindowsVersionConfigItem();

    // ---- values ----
    QString propertyValueFor(const QString& key, const QString& defaultValue) const;
    void setPropertyValue(const QString& key, const QString& value);
    void removeProperty(const QString& key);
    FlashTemplateProperty* propertyForKey(const QString& key) const; // first in tree order, or null
    // Every node in tree order (pre-order, depth first).
    void forEachProperty(const std::function<void(FlashTemplateProperty&)>& visit) const;
    QString valueAsFilePath(const QString& value) const;

    // ---- files ----
    QString tmplHTMLFilePath() const;          // null when the page is not found
    // False when the template's book.swf is there but could not be copied.
    bool copyBookSWFToFile(const QString& destination) const;
    QString mobileTmplFilesPath() const;
    QString getOtherScript() const;            // null when there is no script file

    // ---- settings text ----
    // False (logged) when the file could not be written; an existing file then stays as it was.
    bool exportPropertiesSettingsTo(const QString& path, bool asStyleResource) const;
    void exportPropertiesSettingsToArray(QStringList& entries, const FlashTemplateProperty* pro,
                                         bool asStyleResource) const;
    // File settings in the text may name only files in the text's own folder (a theme's files).
    void importPropertiesSettingsFrom(const QString& path);
    static constexpr qint64 kMaxSettingsTextSize = 4 << 20;

    // ---- fields ----
    const QString& tmplName() const { return iTmplName; }
    void setTmplName(const QString& v) { iTmplName = v; }
    const Properties& properties() const { return iProperties; }
    Properties& properties() { return iProperties; }
    const QString& tmplVersion() const { return iTmplVersion; }
    void setTmplVersion(const QString& v) { iTmplVersion = v; }
    const QString& SWFFilePath() const { return iSWFFilePath; }
    void setSWFFilePath(const QString& v) { iSWFFilePath = v; }
    const QString& HTMLFilePath() const { return iHTMLFilePath; }
    void setHTMLFilePath(const QString& v) { iHTMLFilePath = v; }
    bool needThumbs() const { return iNeedThumbs; }
    void setNeedThumbs(bool v) { iNeedThumbs = v; }
    void setMobileTmplFilesPath(const QString& v) { iMobileTmplFilesPath = v; }
    const QString& macAppFilesFolder() const { return iMacAppFilesFolder; }
    void setMacAppFilesFolder(const QString& v) { iMacAppFilesFolder = v; }
    const QString& defaultSytleName() const { return iDefaultSytleName; }
    void setDefaultSytleName(const QString& v) { iDefaultSytleName = v; }
    const QString& styleName() const { return iStyleName; }
    void setStyleName(const QString& v) { iStyleName = v; }
    const QString& mobileTmplName() const { return iMobileTmplName; }
    void setMobileTmplName(const QString& v) { iMobileTmplName = v; }
    const QString& tmpValidCode() const { return iTmpValidCode; }
    void setTmpValidCode(const QString& v) { iTmpValidCode = v; }

private:
    void readInfo(const pugi::xml_node& root, const QString& metaPath);
    void readProperties(const pugi::xml_node& root, const QString& metaPath);
    Properties* listHolding(const FlashTemplateProperty* node);
    void setFileFromSettingsText(const QString& key, const QString& value, const QString& folder);

    QString iTmplName = QStringLiteral("Float");
    Properties iProperties;
    QString iTmplVersion = QStringLiteral("3.0.0");
    QString iSWFFilePath;
    QString iHTMLFilePath;
    bool iNeedThumbs = true;
    QString iMobileTmplFilesPath;
    QString iMacAppFilesFolder;
    QString iDefaultSytleName = QStringLiteral("Blank");
    QString iStyleName;
    QString iMobileTmplName = QStringLiteral("Flip");
    QString iTmpValidCode;
};
