#include "zip/ZKDataArchive.h"
#include "zip/ZKDataAdditions.h"
#include "zip/records/ZKLFHeader.h"
#include "zip/ZKLog.h"
#include "zip/records/ZKRecordCoding.h"

ZKDataArchive::ZKDataArchive() = default;

std::unique_ptr<ZKDataArchive> ZKDataArchive::archiveWithArchiveData(const QByteArray& data) {
    auto archive = std::make_unique<ZKDataArchive>();
    archive->iData = data;
    if (!archive->readCentralDirectory())
        return nullptr;
    return archive;
}

QByteArray ZKDataArchive::readArchiveBytes(qint64 offset, qint64 count) const {
    if (offset < 0 || offset > iData.size() || count < 0)
        return {};
    return iData.mid(offset, qMin(count, iData.size() - offset));
}

qint64 ZKDataArchive::archiveSize() const { return iData.size(); }

int ZKDataArchive::deflateData(const QByteArray& data, const QString& filename,
                               const std::optional<ZKFileAttributes>& attributes) {
    if (filename.isEmpty() || ZKRecordCoding::encodeText(filename).size() > 0xFFFF)
        return ZKFailed;
    const auto compressed = zk_deflate(data);
    if (!compressed)
        return ZKFailed;
    const quint64 offset = iCdTrailer.offsetOfStartOfCentralDirectory();
    const QDateTime date = attributes && attributes->modificationDate.isValid()
        ? attributes->modificationDate : QDateTime::currentDateTime();
    const quint32 crc = zk_crc32(data);

    ZKLFHeader local;
    local.setLastModDate(date);
    local.setFilename(filename);
    local.setCrc(crc);
    local.setUncompressedSize(quint64(data.size()));
    local.setCompressedSize(quint64(compressed->size()));

    ZKCDHeader central = ZKCDHeader::recordForLocalHeader(local, offset);
    if (attributes)
        central.setExternalFileAttributes(attributes->externalFileAttributes());

    iData.truncate(qsizetype(offset));
    iData.append(local.data());
    iData.append(*compressed);
    iCentralDirectory.append(central);
    iData.append(writtenDirectory(quint64(iData.size())));
    return ZKSucceeded;
}

std::optional<QByteArray> ZKDataArchive::inflateFile(const ZKCDHeader& header, ZKFileAttributes* attributes) const {
    const auto bytes = entryBytes(header);
    if (!bytes)
        return std::nullopt;
    if (!header.isDirectory() && (quint64(bytes->size()) != header.uncompressedSize() || zk_crc32(*bytes) != header.crc())) {
        ZKLog::error(QStringLiteral("Zip entry %1 does not match its recorded size and CRC"), header.filename());
        return std::nullopt;
    }
    if (attributes)
        *attributes = header.fileAttributes();
    return bytes;
}

std::optional<QByteArray> ZKDataArchive::entryBytes(const ZKCDHeader& header) const {
    if (header.isDirectory())
        return header.filename().toUtf8();
    const qint64 offset = qint64(qMin<quint64>(header.localHeaderOffset(), quint64(iData.size())));
    const auto local = ZKLFHeader::recordWithData(iData, offset);
    if (!local)
        return std::nullopt;
    const qint64 start = offset + local->length();
    if (start > iData.size() || header.compressedSize() > quint64(iData.size() - start))
        return std::nullopt;
    const QByteArray stored = iData.mid(start, qsizetype(header.compressedSize()));
    if (header.compressionMethod() == ZKCompressionStored)
        return stored;
    if (header.compressionMethod() != ZKCompressionDeflated)
        return std::nullopt;
    return zk_inflate(stored, qint64(qMin<quint64>(header.uncompressedSize(), quint64(INT64_MAX))));
}
