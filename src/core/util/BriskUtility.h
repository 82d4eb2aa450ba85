#pragma once
#include <QByteArray>
#include <QString>
#include <QStringList>

// Stateless folder and file helpers.
namespace BriskUtility {
// The user's application-support folder (the generic data location on this platform).
QString applicationSupportRoot();
// Application-support root joined with the relative path, created when missing.
QString userAppFolderForSubFolder(const QString& relativePath);
QString tmpDiractoryForCurrentUser();
// A new, uniquely named private folder "<root>/<name>/temp.XXXXXX", root being "/tmp" (or a
// private folder of the user's when "/tmp/<name>" belongs to someone else). The folder records
// its process (hidden file ".owner"); folders there whose process is gone are removed first.
QString forceTmpDiractory(const QString& name);
// Names (not paths) of direct entries ending in ".jpg" or ".png", case-sensitive, listing order.
QStringList imageFilesOfDiractoryAtPath(const QString& folder);
// Names of direct entries ending in "." + ext, case-sensitive, listing order.
QStringList filesOfFolder(const QString& folder, const QString& ext);
// Full paths of every folder below the given one, depth first; links are neither listed nor entered.
QStringList subFolderOfFolder(const QString& folder);
// Shows the file or folder in the desktop's file browser.
void openFolderFromFolderOrFile(const QString& path);
// Lenient Base64 decoding of text sent by a web page.
QByteArray decodebase64String(const QString& text);
// Joins paths with one separator between parts, dropping doubled and trailing separators.
QString joinPath(const QString& a, const QString& b);
}
