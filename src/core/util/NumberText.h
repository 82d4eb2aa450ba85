#pragma once
#include <QStringView>

namespace NumberText {
// Reads an integer leniently, as the desktop's text-to-number conversion does: leading blanks, an
// optional sign, the leading digits; anything after them is ignored, text without digits reads as
// 0, and values beyond the int range are clamped.
int lenientInt(QStringView text);
}
