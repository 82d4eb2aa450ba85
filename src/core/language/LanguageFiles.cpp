#include "language/LanguageFiles.h"

#include "util/BriskUtility.h"
#include "util/Resources.h"

#include <QFileInfo>

QString LanguageFiles::languageMetaXMLPath() { return Resources::appFilesPath("lang/Meta.xml"); }

QString LanguageFiles::languageValuesPoolFolder() {
    QString folder = BriskUtility::userAppFolderForSubFolder("Quirevale/flipbook/languages");
    return folder.endsWith('/') ? folder : folder + '/';
}

QString LanguageFiles::languageValuePathByName(const QString& name) {
    const QString path = languageValuesPoolFolder() + name + ".xml";
    return QFileInfo(path).isFile() ? path : QString();
}

QStringList LanguageFiles::languageValuePaths() {
    return BriskUtility::filesOfFolder(languageValuesPoolFolder(), "xml");
}

QStringList LanguageFiles::defaultLanguageValuePaths() {
    const QString folder = Resources::appFilesPath("lang/value");
    QStringList paths;
    for (const QString& name : BriskUtility::filesOfFolder(folder, "xml"))
        paths << BriskUtility::joinPath(folder, name);
    return paths;
}
