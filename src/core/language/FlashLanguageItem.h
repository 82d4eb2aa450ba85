#pragma once
#include <QString>

// One interface text of the book player: its key, its text, and how the language window shows it.
struct FlashLanguageItem {
    QString key;
    QString value;
    QString description;
    QString title;
};
