#pragma once
#include <QByteArray>
#include <QString>

// files/book.bin: the book description as the single deflated entry "book.xml" of a zip image,
// scrambled with RC4. files/book.js carries the same bytes for pages opened from disk.
class BookDescriptionFile {
public:
    static constexpr char kBookKey[] = "qv-bookkey-2009";
    static constexpr char kScriptGlobal[] = "LEAFMILL_BOOK_BIN";

    // What a book description may take: the file, and its book.xml once expanded.
    static constexpr qint64 kMaxFileSize = 64 << 20;
    static constexpr quint64 kMaxExpandedSize = 256 << 20;

    static QByteArray encode(const QByteArray& bookXML);
    // A script that sets the global kScriptGlobal to the bytes in Base64.
    static QByteArray scriptForm(const QByteArray& bookBin);

    // Reads the XML bytes of the description file at the path: a regular file (never a device, a
    // pipe or a link to one) within the size limits; false (errorString() says why) otherwise.
    bool read(const QString& path);
    // Reads the XML bytes of the first entry; false (errorString() says why) for bytes that are
    // no book description.
    bool decode(const QByteArray& bookBin);
    const QByteArray& xml() const { return iXml; }
    const QString& errorString() const { return iErrorString; }

private:
    bool fail(const QString& reason);

    QByteArray iXml;
    QString iErrorString;
};
