#pragma once
#include <QString>

// The demonstration PDF: fourteen pages of text and pictures, bookmarks on two levels, links to
// other pages and to a web address, and one page turned by a quarter.
namespace SamplePdfWriter {
bool write(const QString& path);
}
