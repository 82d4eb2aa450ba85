#pragma once
#include <QString>

// Text that goes into the pages we write. Values from a book, a theme or a file name are
// untrusted: inside a script they are always string literals that nothing can end early, and
// inside markup they are always escaped.
namespace ScriptText {
// The inside of a quoted script string (either quote): backslashes, quotes, control characters, line and
// paragraph separators are escaped, and so are "</" and "<!--", which an HTML parser would see.
QString escaped(const QString& text);
// escaped() between double quotes: a JSON string literal.
QString literal(const QString& text);
// An object key: a plain script name as it is, anything else as a literal.
QString key(const QString& name);
// A number for a script; text that is not a finite number gives the fallback.
QString number(const QString& text, double fallback);
// Element content or a double-quoted attribute value.
QString html(const QString& text);
}
