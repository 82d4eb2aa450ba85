#pragma once
#include <QString>
#include <QStringList>

// Finds the application's resource files: the installed share/leafmill folder, else the build's resource tree (a copy of resources/ plus generated files), else resources/ itself.
namespace Resources {
QStringList roots();
// The first existing root/relativePath; if none exists, the path in the source tree.
QString path(const QString& relativePath);
// "AppFiles/<relativePath>", or relativePath inside the folder set in its place.
QString appFilesPath(const QString& relativePath);
// Puts a folder in place of the shipped "AppFiles" data (tests use one of their own); empty restores it.
void setAppFilesRoot(const QString& folder);
}
