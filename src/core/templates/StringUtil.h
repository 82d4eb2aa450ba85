#pragma once
#include <QString>

// Text helpers for template setting values.
namespace StringUtil {
// True for "YES", "SHOW", "ENABLE" and "TRUE" in any letter case; false for everything else.
bool valueAsBool(const QString& text);
// The type code of a type name ("pt_color" -> 2); unknown or absent names give pt_text.
int flashTemplatePropertyTypeFromString(const QString& typeName);
// A template or theme name that stays one folder inside its library: not empty, ".", "..", and
// without path separators.
bool isPlainName(const QString& name);
}
