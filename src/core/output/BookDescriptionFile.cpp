#include "output/BookDescriptionFile.h"

#include "util/CommonCryptor.h"
#include "zip/ZKDataArchive.h"

namespace BookDescriptionFile {

QByteArray encode(const QByteArray& bookXML) {
    ZKDataArchive archive;
    if (archive.deflateData(bookXML, QStringLiteral("book.xml")) != ZKSucceeded)
        return {};
    return CommonCryptor::RC4EncryptedDataUsingKey(archive.data(), QByteArray(kBookKey));
}

std::optional<QByteArray> decode(const QByteArray& bookBin, QString* reason) {
    auto fail = [&](const QString& why) -> std::optional<QByteArray> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    if (bookBin.isEmpty())
        return fail(QStringLiteral("files/book.bin is empty"));
    const QByteArray zipImage = CommonCryptor::decryptedRC4DataUsingKey(bookBin, QByteArray(kBookKey));
    const auto archive = ZKDataArchive::archiveWithArchiveData(zipImage);
    if (!archive || archive->centralDirectory().isEmpty())
        return fail(QStringLiteral("files/book.bin is damaged or not a book description (no zip archive inside)"));
    const auto xml = archive->inflateFile(archive->centralDirectory().first());
    if (!xml)
        return fail(QStringLiteral("files/book.bin is damaged: its book.xml entry cannot be inflated"));
    return xml;
}

QByteArray scriptForm(const QByteArray& bookBin) {
    return QByteArray(kScriptGlobal) + "=\"" + bookBin.toBase64() + "\";\n";
}

}
