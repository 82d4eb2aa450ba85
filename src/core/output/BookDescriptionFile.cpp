#include "output/BookDescriptionFile.h"

#include "util/CommonCryptor.h"
#include "util/FolderBounds.h"
#include "zip/ZKDataArchive.h"
#include "zip/ZKExpansionLimits.h"

#include <QFile>

QByteArray BookDescriptionFile::encode(const QByteArray& bookXML) {
    ZKDataArchive archive;
    if (archive.deflateData(bookXML, QStringLiteral("book.xml")) != ZKSucceeded)
        return {};
    return CommonCryptor::RC4EncryptedDataUsingKey(archive.data(), QByteArray(kBookKey));
}

bool BookDescriptionFile::decode(const QByteArray& bookBin) {
    iXml.clear();
    iErrorString.clear();
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
    iXml = *xml;
    return true;
}

bool BookDescriptionFile::read(const QString& path) {
    iXml.clear();
    iErrorString.clear();
    const auto size = FolderBounds::regularFileSize(path);
    if (!size)
        return fail(QStringLiteral("files/book.bin is missing or not a regular file"));
    if (*size > kMaxFileSize)
        return fail(QStringLiteral("files/book.bin is refused: it is larger than %1 MB").arg(kMaxFileSize >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return fail(QStringLiteral("files/book.bin cannot be read: %1").arg(file.errorString()));
    return decode(file.read(kMaxFileSize + 1));
}

bool BookDescriptionFile::fail(const QString& reason) {
    iErrorString = reason;
    return false;
}

QByteArray BookDescriptionFile::scriptForm(const QByteArray& bookBin) {
    return QByteArray(kScriptGlobal) + "=\"" + bookBin.toBase64() + "\";\n";
}
