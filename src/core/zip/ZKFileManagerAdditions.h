#pragma once
#include <QString>
#include <optional>

// Folder operations of the archive code.
namespace ZKFileManagerAdditions {
// The path itself when nothing is there, else "base 2.ext", "base 3.ext", ... (the extension
// only when the name has one) beside it, whichever is free first.
QString uniquePath(const QString& path);
// Moves every item directly inside the folder, except "__MACOSX", up into its parent under a
// free name, then deletes the folder with whatever is left in it (links are removed, never
// followed).
void cleanUpExpansionDirectory(const QString& directory);
// The target of a link as stored in it (not resolved); none for anything but a link.
std::optional<QString> linkTarget(const QString& path);
// Whether anything, a dangling link included, is at the path.
bool itemExists(const QString& path);
}
