#include "output/BookDescriptionFile.h"

#include "util/CommonCryptor.h"
#include "util/FolderBounds.h"
#include "zip/ZKDataArchive.h"
#include "zip/ZKExpansionLimits.h"

#include <QFile>

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
    static const ZKExpansionLimits limits{kMaxExpandedSize, 16, 250};
    if (const QString why = limits.check(archive->centralDirectory()); !why.isEmpty())
        return fail(QStringLiteral("files/book.bin is refused: %1").arg(why));
    const auto xml = archive->inflateFile(archive->centralDirectory().first());
    if (!xml)
        return fail(QStringLiteral("files/book.bin is damaged: its book.xml entry cannot be inflated"));
    return xml;
}

std::optional<QByteArray> read(const QString& path, QString* reason) {
    auto fail = [&](const QString& why) -> std::optional<QByteArray> {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    const auto size = FolderBounds::regularFileSize(path);
    if (!size)
        return fail(QStringLiteral("files/book.bin is missing or not a regular file"));
    if (*size > kMaxFileSize)
        return fail(QStringLiteral("files/book.bin is refused: it is larger than %1 MB").arg(kMaxFileSize >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("files/book.bin cannot be read: %1").arg(file.errorString()));
    return decode(file.read(kMaxFileSize + 1), reason);
}

QByteArray scriptForm(const QByteArray& bookBin) {
    return QByteArray(kScriptGlobal) + "=\"" + bookBin.toBase64() + "\";\n";
}

}
