#include "zip/records/ZKCDTrailer64Locator.h"
#include "zip/records/ZKByteReader.h"
#include "zip/records/ZKByteWriter.h"

std::optional<ZKCDTrailer64Locator> ZKCDTrailer64Locator::recordWithData(const QByteArray& data, qint64 offset) {
    ZKByteReader reader(data, offset);
    ZKCDTrailer64Locator record;
    record.magicNumber = reader.readUInt32();
    if (!reader.ok() || record.magicNumber != ZKCDTrailer64LocatorMagicNumber)
        return std::nullopt;
    record.diskNumberWithStartOfCentralDirectory = reader.readUInt32();
    record.offsetOfStartOfCentralDirectoryTrailer64 = reader.readUInt64();
    record.numberOfDisks = reader.readUInt32();
    if (!reader.ok())
        return std::nullopt;
    return record;
}

std::optional<ZKCDTrailer64Locator> ZKCDTrailer64Locator::recordWithArchivePath(const QString& path, qint64 offset) {
    return recordWithData(ZKByteReader::readFile(path, offset, ZKCDTrailer64LocatorFixedDataLength), 0);
}

QByteArray ZKCDTrailer64Locator::data() const {
    QByteArray out;
    ZKByteWriter writer(out);
    writer.writeUInt32(magicNumber);
    writer.writeUInt32(diskNumberWithStartOfCentralDirectory);
    writer.writeUInt64(offsetOfStartOfCentralDirectoryTrailer64);
    writer.writeUInt32(numberOfDisks);
    return out;
}

QString ZKCDTrailer64Locator::description() const {
    return QStringLiteral("zip64 locator: end record at %1").arg(offsetOfStartOfCentralDirectoryTrailer64);
}
