#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

// files/book.bin: the book description as the single deflated entry "book.xml" of a zip image,
// scrambled with RC4. files/book.js carries the same bytes for pages opened from disk.
namespace BookDescriptionFile {
inline constexpr char kBookKey[] = "qv-bookkey-2009";
inline constexpr char kScriptGlobal[] = "LEAFMILL_BOOK_BIN";

QByteArray encode(const QByteArray& bookXML);
// The XML bytes of the first entry, or none with the reason.
std::optional<QByteArray> decode(const QByteArray& bookBin, QString* reason = nullptr);
// A script that sets the global kScriptGlobal to the bytes in Base64.
QByteArray scriptForm(const QByteArray& bookBin);
}
