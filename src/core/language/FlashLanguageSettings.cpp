#include "language/FlashLanguageSettings.h"
#include "util/Resources.h"
#include "language/FlashLanguage.h"
#include "util/BriskUtility.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {
// A name that stays a plain file name inside the pool.
bool isSafeLanguageName(const QString& name) {
    return !name.isEmpty() && !name.startsWith('.') && !name.contains('/') && !name.contains('\\');
}
}

FlashLanguageSettings::FlashLanguageSettings(const QString& checkedLanguages)
    : iCheckedLanguages(checkedLanguages) {}

pugi::xml_node FlashLanguageSettings::flashNeededLanguagesAsXMLNode(pugi::xml_node parent) const {
    pugi::xml_node languages = parent.append_child("languages");
    for (const QString& name : iCheckedLanguages.split(';')) {
        FlashLanguage language;
        language.loadValueByLanguageName(name);
        language.flashNeededXMLNode(languages);
    }
    return languages;
}


QString FlashLanguageSettings::languageMetaXMLPath() { return Resources::appFilesPath("lang/Meta.xml"); }

QString FlashLanguageSettings::languageValuesPoolFolder() {
    QString folder = BriskUtility::userAppFolderForSubFolder("Quirevale/flipbook/languages");
    return folder.endsWith('/') ? folder : folder + '/';
}

QString FlashLanguageSettings::languageValuePathByName(const QString& name) {
    const QString path = languageValuesPoolFolder() + name + ".xml";
    return QFileInfo(path).isFile() ? path : QString();
}

QStringList FlashLanguageSettings::languageValuePaths() {
    return BriskUtility::filesOfFolder(languageValuesPoolFolder(), "xml");
}

QStringList FlashLanguageSettings::defaultLanguageValuePaths() {
    const QString folder = Resources::appFilesPath("lang/value");
    QStringList paths;
    for (const QString& name : BriskUtility::filesOfFolder(folder, "xml"))
        paths << BriskUtility::joinPath(folder, name);
    return paths;
}

void FlashLanguageSettings::removeLanguageValueByName(const QString& name) {
    QFile::remove(languageValuesPoolFolder() + name + ".xml");
}

void FlashLanguageSettings::copyDefaultLanguagesToPool() {
    const QString pool = languageValuesPoolFolder();
    for (const QString& path : defaultLanguageValuePaths()) {
        const QString target = pool + QFileInfo(path).fileName();
        if (!QFileInfo::exists(target))
            QFile::copy(path, target);
    }
}

QStringList FlashLanguageSettings::orderedLanguageNames(const QString& languageOrder) {
    QStringList rest;
    for (const QString& file : languageValuePaths())
        rest << QFileInfo(file).completeBaseName();
    QStringList ordered;
    for (const QString& name : languageOrder.split(';')) {
        const int at = rest.indexOf(name);
        if (at >= 0)
            ordered << rest.takeAt(at);
    }
    return ordered + rest;
}

QString FlashLanguageSettings::newLanguageName() {
    for (int n = 1;; ++n) {
        const QString name = QStringLiteral("Language%1").arg(n);
        if (languageValuePathByName(name).isNull())
            return name;
    }
}

bool FlashLanguageSettings::importLanguageValueFrom(const QString& path, QString* error) {
    FlashLanguage language;
    language.loadFromXMLValue(path);
    QString reason;
    if (!language.lastLoadOk())
        reason = language.lastError();
    else if (!isSafeLanguageName(language.languageName()))
        reason = QStringLiteral("%1 names no usable language (info/name is \"%2\")")
                     .arg(path, language.languageName());
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return false;
    }
    language.save();
    return true;
}

bool FlashLanguageSettings::renameLanguage(FlashLanguage& language, const QString& newName, QString* error) {
    const QString oldName = language.languageName();
    if (newName == oldName)
        return true;
    QString reason;
    if (!isSafeLanguageName(newName))
        reason = QStringLiteral("\"%1\" cannot name a language.").arg(newName);
    else if (!languageValuePathByName(newName).isNull())
        reason = QStringLiteral("A language named \"%1\" exists already.").arg(newName);
    if (!reason.isEmpty()) {
        if (error)
            *error = reason;
        return false;
    }
    language.setLanguageName(newName);
    language.save();
    if (!oldName.isEmpty())
        removeLanguageValueByName(oldName);
    return true;
}
