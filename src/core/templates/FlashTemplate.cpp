#include "templates/FlashTemplate.h"
#include "templates/StringUtil.h"
#include "util/Resources.h"
#include "util/FolderBounds.h"
#include "util/ScriptText.h"
#include "util/XmlText.h"
#include "util/BriskUtility.h"
#include "util/Log.h"
#include "util/NamedException.h"
#include "util/Xml.h"
#include "util/AtomicFile.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
QString withSlash(const QString& folder) {
    return folder.endsWith('/') ? folder : folder + '/';
}

bool isFile(const QString& path) {
    return QFileInfo(path).isFile();
}

// Pre-order walk that stops when visit answers true; answers the node it stopped at.
FlashTemplateProperty* findInTree(const FlashTemplate::Properties& list,
                                  const std::function<bool(FlashTemplateProperty&)>& visit) {
    for (const auto& node : list) {
        if (visit(*node))
            return node.get();
        if (FlashTemplateProperty* found = findInTree(node->childProperties(), visit))
            return found;
    }
    return nullptr;
}

}

FlashTemplate::FlashTemplate() {
    try {
        loadTemplate(QStringLiteral("Float"));
    } catch (const std::exception& e) {
        spdlog::error("{}", e.what());
    }
}

FlashTemplate::FlashTemplate(Empty) {}

// ---- catalogue ----

QString FlashTemplate::builtInTemplatesFolder() { return withSlash(Resources::appFilesPath("Templates")); }
QString FlashTemplate::builtInStylesFolder() { return withSlash(Resources::appFilesPath("Styles")); }
QString FlashTemplate::templateDataFolder() { return withSlash(Resources::appFilesPath(QString())); }
QString FlashTemplate::otherScriptFolder() { return withSlash(Resources::appFilesPath("TmplData")); }
QString FlashTemplate::mobileTemplatesFolder() { return withSlash(Resources::appFilesPath("TmplData/mobile")); }

QString FlashTemplate::userTemplatesFolder() {
    return withSlash(BriskUtility::userAppFolderForSubFolder("Quirevale/flipbook/Templates"));
}

QString FlashTemplate::userStylesFolder() {
    return withSlash(BriskUtility::userAppFolderForSubFolder("Quirevale/flipbook/Styles"));
}


QStringList FlashTemplate::tmplNames() {
    return BriskUtility::subFolderOfFolder(builtInTemplatesFolder())
         + BriskUtility::subFolderOfFolder(userTemplatesFolder());
}

QString FlashTemplate::tmplPathForName(const QString& name) {
    if (!StringUtil::isPlainName(name))
        return {};
    for (const QString& root : {builtInTemplatesFolder(), userTemplatesFolder()}) {
        const QString folder = root + name + '/';
        if (isFile(folder + "flashTemplate.xml"))
            return folder;
    }
    return {};
}

QString FlashTemplate::tmplMetaPathForName(const QString& name) {
    const QString folder = tmplPathForName(name);
    return folder.isNull() ? QString() : folder + "flashTemplate.xml";
}

QStringList FlashTemplate::tmplStyleNamesForTmpl(const QString& tmplName) {
    QStringList styles;
    if (!StringUtil::isPlainName(tmplName))
        return styles;
    for (const QString& root : {builtInStylesFolder(), userStylesFolder()}) {
        for (const QString& folder : BriskUtility::subFolderOfFolder(root + tmplName))
            if (isFile(BriskUtility::joinPath(folder, "tmplSetting.txt")))
                styles << folder;
    }
    return styles;
}

QString FlashTemplate::stylePathFor(const QString& tmplName, const QString& styleName) {
    if (!StringUtil::isPlainName(tmplName) || !StringUtil::isPlainName(styleName))
        return QLatin1String("");
    for (const QString& root : {builtInStylesFolder(), userStylesFolder()}) {
        const QString folder = root + tmplName + '/' + styleName;
        if (isFile(folder + "/tmplSetting.txt"))
            return folder;
    }
    return QLatin1String("");
}

// ---- loading ----

void FlashTemplate::loadTemplate(const QString& name) {
    iProperties.clear();
    iTmplName = name;
    const QString metaPath = tmplMetaPathForName(name);
    if (metaPath.isNull())
        throw NamedException(QStringLiteral("FlashTemplateLoadErr"),
                             QStringLiteral("template \"%1\" is not installed").arg(name));
    pugi::xml_document doc;
    const Xml::ParseResult parsed = Xml::loadFile(doc, metaPath);
    if (!parsed.ok)
        throw NamedException(QStringLiteral("FlashTemplateLoadErr"),
                             QStringLiteral("%1 is not readable XML: %2").arg(metaPath, parsed.error));
    if (parsed.repaired)
        spdlog::info("Template description {} was repaired: {}", metaPath, parsed.error);
    const pugi::xml_node root = doc.document_element();
    readInfo(root, metaPath);
    readProperties(root, metaPath);
    loadStyleByStyleName(iDefaultSytleName);
    removeTheWindowsVersionConfigItem();
}

void FlashTemplate::readInfo(const pugi::xml_node& root, const QString& metaPath) {
    const pugi::xml_node info = root.child("info");
    if (!info)
        throw NamedException(QStringLiteral("FlashTemplateLoadErr"),
                             QStringLiteral("%1 lacks the required element <info>").arg(metaPath));
    const std::pair<const char*, QString FlashTemplate::*> fields[] = {
        {"htmlPath", &FlashTemplate::iHTMLFilePath},
        {"swfPath", &FlashTemplate::iSWFFilePath},
        {"defaultStyle", &FlashTemplate::iDefaultSytleName},
        {"macAppFilesFolder", &FlashTemplate::iMacAppFilesFolder},
        {"mobileTmplFilesPath", &FlashTemplate::iMobileTmplFilesPath},
        {"templateValidCode", &FlashTemplate::iTmpValidCode}};
    for (const auto& [name, field] : fields) {
        const pugi::xml_node element = info.child(name);
        if (!element)
            throw NamedException(QStringLiteral("FlashTemplateLoadErr"),
                                 QStringLiteral("%1 lacks the required element <info>/<%2>")
                                     .arg(metaPath, QLatin1String(name)));
        this->*field = XmlText::wholeText(element);
    }
}

void FlashTemplate::readProperties(const pugi::xml_node& root, const QString& metaPath) {
    const pugi::xml_node properties = root.child("properties");
    if (!properties)
        throw NamedException(QStringLiteral("FlashTemplateLoadErr"),
                             QStringLiteral("%1 lacks the required element <properties>").arg(metaPath));
    for (pugi::xml_node element : properties.children("property")) {
        auto property = std::make_unique<FlashTemplateProperty>();
        try {
            property->loadFromNode(element);
        } catch (const NamedException& e) {
            throw NamedException(e.name(), QStringLiteral("%1: %2").arg(metaPath, e.reason()));
        }
        iProperties.push_back(std::move(property));
    }
}

void FlashTemplate::changeTmplTo(const QString& name, const QString& stylePath) {
    const QString pageWidth = propertyValueFor("pageWidth", "600");
    const QString pageHeight = propertyValueFor("pageHeight", "800");
    const QString languages = propertyValueFor("languageSetting", "");
    loadTemplate(name);
    loadStyleByStylePath(stylePath);
    setPropertyValue("pageWidth", pageWidth);
    setPropertyValue("pageHeight", pageHeight);
    setPropertyValue("languageSetting", languages);
}

void FlashTemplate::loadStyleByStyleName(const QString& styleName) {
    loadStyleByStylePath(stylePathFor(iTmplName, styleName));
}

void FlashTemplate::loadStyleByStylePath(const QString& stylePath) {
    iStyleName = stylePath.isEmpty() ? QString(QLatin1String("")) : QFileInfo(stylePath).fileName();
    if (!stylePath.isEmpty())
        importPropertiesSettingsFrom(BriskUtility::joinPath(stylePath, "tmplSetting.txt"));
}

void FlashTemplate::removeTheWindowsVersionConfigItem() {
    for (const char* key : {"SearchSettings", "SearchResultsFonts", "otherIconsConfig",
                            "securitySetting", "contactAboutConfig"})
        removeProperty(QLatin1String(key));
}

// ---- values ----

FlashTemplateProperty* FlashTemplate::propertyForKey(const QString& key) const {
    return findInTree(iProperties, [&](FlashTemplateProperty& node) { return node.key() == key; });
}

void FlashTemplate::forEachProperty(const std::function<void(FlashTemplateProperty&)>& visit) const {
    findInTree(iProperties, [&](FlashTemplateProperty& node) { visit(node); return false; });
}

QString FlashTemplate::propertyValueFor(const QString& key, const QString& defaultValue) const {
    const FlashTemplateProperty* property = propertyForKey(key);
    return property && !property->value().isNull() ? property->value() : defaultValue;
}

void FlashTemplate::setPropertyValue(const QString& key, const QString& value) {
    FlashTemplateProperty* property = propertyForKey(key);
    if (!property)
        return;
    property->setValue(property->propertyType() == pt_file ? valueAsFilePath(value) : value);
}

FlashTemplate::Properties* FlashTemplate::listHolding(const FlashTemplateProperty* node) {
    return node->parent() ? &node->parent()->childProperties() : &iProperties;
}

void FlashTemplate::removeProperty(const QString& key) {
    const FlashTemplateProperty* property = propertyForKey(key);
    if (!property)
        return;
    Properties* list = listHolding(property);
    std::erase_if(*list, [&](const auto& node) { return node.get() == property; });
}

QString FlashTemplate::valueAsFilePath(const QString& value) const {
    static const QString marker = QStringLiteral("STYLE_RESOURCE:");
    const int at = value.indexOf(marker);
    if (at < 0)
        return value;
    const QString fileName = value.mid(at + marker.size());
    const QString styleFolder = stylePathFor(iTmplName, iStyleName);
    return styleFolder.isEmpty() ? fileName : BriskUtility::joinPath(styleFolder, fileName);
}

// ---- files ----

QString FlashTemplate::tmplHTMLFilePath() const {
    QString relative = iHTMLFilePath;
    relative.replace('\\', '/');
    const QString tmplFolder = tmplPathForName(iTmplName);
    if (!tmplFolder.isNull()) {
        const QString inTemplate = BriskUtility::joinPath(tmplFolder, relative);
        if (isFile(inTemplate))
            return inTemplate;
    }
    const QString inData = BriskUtility::joinPath(templateDataFolder(), relative);
    return isFile(inData) ? inData : QString();
}

bool FlashTemplate::copyBookSWFToFile(const QString& destination) const {
    const QString tmplFolder = tmplPathForName(iTmplName);
    if (tmplFolder.isNull())
        return true;
    QFileInfo target(destination);
    if (target.isDir() && !target.isSymLink())
        QDir(destination).removeRecursively();
    else
        QFile::remove(destination);
    return QFile::copy(tmplFolder + "book.swf", destination) || !isFile(tmplFolder + "book.swf");
}

QString FlashTemplate::mobileTmplFilesPath() const {
    return BriskUtility::joinPath(mobileTemplatesFolder(), iMobileTmplName);
}

QString FlashTemplate::getOtherScript() const {
    const QString pathDir = otherScriptFolder();
    const QString tmplPath = userTemplatesFolder();
    spdlog::info("pathDir={}", pathDir);
    spdlog::info("tmplPath={}", tmplPath);
    QString scriptFile = pathDir + "fbOtherScript.txt";
    if (!isFile(scriptFile)) {
        scriptFile = tmplPath + "fbOtherScript.txt";
        if (!isFile(scriptFile))
            return {};
    }
    QFile file(scriptFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString trackingID = propertyValueFor("googleAnalyticsID", "");
    spdlog::debug("tempID={}", trackingID);
    QString content = QString::fromUtf8(file.readAll());
    content.replace(QLatin1String("@{}"), ScriptText::escaped(trackingID));   // lands in a script string
    spdlog::debug("********fileContent is:{}", content);
    return content;
}

// ---- settings text ----

void FlashTemplate::exportPropertiesSettingsToArray(QStringList& entries, const FlashTemplateProperty* pro,
                                                    bool asStyleResource) const {
    const Properties& list = pro ? pro->childProperties() : iProperties;
    for (const auto& node : list) {
        QString entry;
        if (asStyleResource && node->propertyType() == pt_file && isFile(node->value()))
            entry = node->key() + "=STYLE_RESOURCE:" + node->key() + '.' + QFileInfo(node->value()).suffix();
        else
            entry = node->key() + '=' + node->value();
        entries << entry.replace(QLatin1String("\n\r"), QLatin1String("|||"));
        exportPropertiesSettingsToArray(entries, node.get(), asStyleResource);
    }
}

bool FlashTemplate::exportPropertiesSettingsTo(const QString& path, bool asStyleResource) const {
    QStringList entries;
    exportPropertiesSettingsToArray(entries, nullptr, asStyleResource);
    QString text;
    for (const QString& entry : entries)
        text += "\n\r" + entry;
    if (AtomicFile::write(path, text.toUtf8()))
        return true;
    spdlog::error("Could not write the settings to {}", path);
    return false;
}

void FlashTemplate::importPropertiesSettingsFrom(const QString& path) {
    QFile file(path);
    if (!FolderBounds::regularFileSize(path) || !file.open(QIODevice::ReadOnly))
        return;
    const QString text = QString::fromUtf8(file.read(kMaxSettingsTextSize));
    const QString folder = QFileInfo(path).absolutePath();
    const QString pageWidth = propertyValueFor("pageWidth", "600");
    const QString pageHeight = propertyValueFor("pageHeight", "800");
    for (QString line : text.split('\n')) {
        line.remove('\r');
        const int equals = line.indexOf('=');
        if (equals < 0)
            continue;
        const QString key = line.left(equals);
        const FlashTemplateProperty* property = propertyForKey(key);
        if (property && property->propertyType() == pt_file)
            setFileFromSettingsText(key, line.mid(equals + 1), folder);
        else
            setPropertyValue(key, line.mid(equals + 1));
    }
    setPropertyValue("pageWidth", pageWidth);
    setPropertyValue("pageHeight", pageHeight);
}

// Settings text comes from themes and files of unknown origin: a file it names must be one of the
// files beside it ("STYLE_RESOURCE:name" or a path that stays in that folder), never any other.
void FlashTemplate::setFileFromSettingsText(const QString& key, const QString& value, const QString& folder) {
    static const QString marker = QStringLiteral("STYLE_RESOURCE:");
    const int at = value.indexOf(marker);
    const QString named = at < 0 ? value : value.mid(at + marker.size());
    const QString path = QDir(folder).absoluteFilePath(named);
    if (named.isEmpty() || FolderBounds::isRegularFileInside(path, folder)) {
        propertyForKey(key)->setValue(named.isEmpty() ? QString() : path);
        return;
    }
    spdlog::warn("The setting {} names the file \"{}\", which is not one of the files in {}; it is left out",
                 key, named, folder);
}
