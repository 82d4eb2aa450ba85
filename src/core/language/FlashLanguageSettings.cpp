#include "language/FlashLanguageSettings.h"
#include "language/FlashLanguage.h"
#include "language/LanguageFiles.h"
#include "util/BriskUtility.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace LanguageFiles;

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
