#pragma once
#include <QString>
#include <QStringList>

// Where languages live: the meta file and the shipped languages among the resources, and the
// user's pool of value files.
namespace LanguageFiles {
QString languageMetaXMLPath();
QString languageValuesPoolFolder();                 // created when missing
QString languageValuePathByName(const QString& name); // null when no pool file
QStringList languageValuePaths();                   // file names in the pool
QStringList defaultLanguageValuePaths();            // full paths of shipped languages
}
