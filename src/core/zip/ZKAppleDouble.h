#pragma once
#include <QByteArray>
#include <QMap>
#include <QString>

// AppleDouble files ("__MACOSX/._name") carry the Finder information and resource fork of the
// file they describe; here they become extended attributes in the user namespace.
namespace ZKAppleDouble {
constexpr quint32 ZKAppleDoubleResourceForkEntry = 2;
constexpr quint32 ZKAppleDoubleFinderInfoEntry = 9;
inline const char* const ZKFinderInfoAttributeName = "user.com.apple.FinderInfo";
inline const char* const ZKResourceForkAttributeName = "user.com.apple.ResourceFork";

// The entries by numeric identifier; empty when the bytes are no AppleDouble file or an entry
// lies outside them.
QMap<quint32, QByteArray> entries(const QByteArray& appleDouble);
// The file that an AppleDouble file inside the folder describes: "._" dropped from the name and
// the "__MACOSX" component dropped from the path. Empty for any other file.
QString describedPath(const QString& directory, const QString& appleDoublePath);
// Writes entry 9 and entry 2 of every AppleDouble file below the folder (links not followed) as
// extended attributes of the files they describe, where those exist. Attributes the file system
// does not support are skipped.
void zk_combineAppleDoubleInDirectory(const QString& directory);
}
