#pragma once
#include <QHash>
#include <QString>

// "${key}" substitution for template pages. White space at the start of the text and directly
// after each placeholder is dropped; values are inserted as they are and not scanned again.
class TextTemplate {
public:
    explicit TextTemplate(const QString& fromStr) : iFromStr(fromStr) {}

    void setItem(const QString& key, const QString& value) { iKeyAndValues.insert(key, value); }
    QString parse() const;

    const QString& fromStr() const { return iFromStr; }
    const QHash<QString, QString>& keyAndValues() const { return iKeyAndValues; }

private:
    QString iFromStr;
    QHash<QString, QString> iKeyAndValues;
};
