#pragma once
#include <QString>
#include <optional>

// Checks for files named by untrusted text (a book folder, a theme, settings text): they must be
// regular files, never devices or pipes, and stay inside their folder once links are resolved.
namespace FolderBounds {
// The size of a regular file (links followed), or none for anything else or nothing.
std::optional<qint64> regularFileSize(const QString& path);
// True when the path, links resolved, is a regular file inside the folder (links resolved).
bool isRegularFileInside(const QString& path, const QString& folder);
}
