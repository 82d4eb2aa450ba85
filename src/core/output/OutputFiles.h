#pragma once
#include <QString>

// File operations of the publishing steps. A copy whose source and target are one file leaves
// it in place, and a target already identical to its source (same size and time) is kept.
namespace OutputFiles {
// Copies a regular file; the target gets the source's modification time. False when the source
// is missing or the copy failed.
bool copyFile(const QString& source, const QString& target);
// True when both paths name one file (the same path, a link to it, a hard link).
bool isSameFile(const QString& a, const QString& b);
// True when both name one file or two files of the same bytes.
bool haveSameContent(const QString& a, const QString& b);
// Makes target a hard link to existing (replacing what target was); false, with target left as it
// was, where the file system has no hard links or the link cannot be made.
bool linkFile(const QString& existing, const QString& target);
// Copies a folder's files and sub-folders (links are left out) into target, made when missing.
// False (and logged with the reason) when the source is no folder or a copy failed.
bool copyFolder(const QString& source, const QString& target);
bool removePath(const QString& path);
// "./<folder>/<sub>/<name>.<ext>", the relative URL form of the book description.
QString relativeURL(const QString& folder, const QString& subFolder, const QString& name, const QString& ext);
}
