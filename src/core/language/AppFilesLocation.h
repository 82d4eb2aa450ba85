#pragma once
#include <QString>

// Where the shipped template, theme and language data ("AppFiles") is read from: the
// application's resources, or a folder set in their place (tests use one of their own).
namespace AppFilesLocation {
QString path(const QString& relativePath);
void setRoot(const QString& folder); // empty: the application's resources
}
