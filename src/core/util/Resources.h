#pragma once
#include <QString>
#include <QStringList>

// Finds the application's resource files: the installed share/leafmill folder, else the build's
// generated resources, else the source tree's resources/.
namespace Resources {
QStringList roots();
// The first existing root/relativePath; if none exists, the path under the first root.
QString path(const QString& relativePath);
// "AppFiles/<relativePath>"
QString appFilesPath(const QString& relativePath);
}
