#pragma once
#include <QString>
#include <QStringList>

// Finds the application's resource files: an installed program looks only in the share/leafmill
// folder next to its bin/; a program in the build tree looks in the build's resource tree (a copy of
// resources/ plus generated files), else in resources/ itself.
namespace Resources {
QStringList roots();
// The first existing root/relativePath; if none exists, the path in the last root.
QString path(const QString& relativePath);
// "AppFiles/<relativePath>", or relativePath inside the folder set in its place.
QString appFilesPath(const QString& relativePath);
// Puts a folder in place of the shipped "AppFiles" data (tests use one of their own); empty restores it.
void setAppFilesRoot(const QString& folder);
}
