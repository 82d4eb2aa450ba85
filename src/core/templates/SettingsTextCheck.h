#pragma once
#include <QString>

class FlashTemplate;

// Looks at a settings text before it is imported, so a wrong file is refused as a whole instead of
// changing nothing (or a few values) without a word: it must be a regular file of readable size,
// UTF-8 text, and name at least one setting of the template.
class SettingsTextCheck {
public:
    bool check(const QString& path, const FlashTemplate& tmpl);
    const QString& errorString() const { return iErrorString; }

private:
    bool fail(const QString& why);
    QString iErrorString;
};
