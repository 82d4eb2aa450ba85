#pragma once
#include <QColor>
#include <QString>

// Colours and their texts, "0x" followed by six lower-case hexadecimal digits.
namespace ColorText {
QColor colorFromHexRGB(const QString& text);   // lenient: "ff8000", "0xFF8000", "  #..." gives 0
QString colorToHexRGB(const QColor& color);    // empty for an invalid colour
}
