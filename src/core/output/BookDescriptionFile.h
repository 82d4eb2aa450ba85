#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

// files/book.bin: the book description as the single deflated entry "book.xml" of a zip image,
// scrambled with RC4. files/book.js carries the same bytes for pages opened from disk.
namespace BookDescriptionFile {
inline constexpr char kBookKey[] = "qv-bookkey-2009";
inline constexpr char kScriptGlobal[] = "LEAFMILL_BOOK_BIN";

// What a book description may take: the file, and its book.xml once expanded.
inline constexpr qint64 kMaxFileSize = 64 << 20;
inline constexpr quint64 kMaxExpandedSize = 256 << 20;

QByteArray encode(const QByteArray& bookXML);
// The XML bytes of the description file at the path: a regular file (never a device, a pipe or
// a link to one) within the size limits, or none with the reason.
std::optional<QByteArray> read(const QString& path, QString* reason = nullptr);
// The XML bytes of the first entry, or none with the reason.
std::optional<QByteArray> decode(const QByteArray& bookBin, QString* reason = nullptr);
// A script that sets the global kScriptGlobal to the bytes in Base64.
QByteArray scriptForm(const QByteArray& bookBin);
}
