#include "zip/records/ZKCDTrailer64.h"
#include "zip/records/ZKByteReader.h"
#include "zip/records/ZKByteWriter.h"

std::optional<ZKCDTrailer64> ZKCDTrailer64::recordWithData(const QByteArray& data, qint64 offset) {
    ZKByteReader reader(data, offset);
    ZKCDTrailer64 record;
    record.magicNumber = reader.readUInt32();
    if (!reader.ok() || record.magicNumber != ZKCDTrailer64MagicNumber)
        return std::nullopt;
    record.sizeOfTrailer = reader.readUInt64();
    record.versionMadeBy = reader.readUInt16();
    record.versionNeededToExtract = reader.readUInt16();
    record.thisDiskNumber = reader.readUInt32();
    record.diskNumberWithStartOfCentralDirectory = reader.readUInt32();
    record.numberOfCentralDirectoryEntriesOnThisDisk = reader.readUInt64();
    record.totalNumberOfCentralDirectoryEntries = reader.readUInt64();
    record.sizeOfCentralDirectory = reader.readUInt64();
    record.offsetOfStartOfCentralDirectory = reader.readUInt64();
    if (!reader.ok())
        return std::nullopt;
    return record;
}

std::optional<ZKCDTrailer64> ZKCDTrailer64::recordWithArchivePath(const QString& path, qint64 offset) {
    return recordWithData(ZKByteReader::readFile(path, offset, ZKCDTrailer64FixedDataLength), 0);
}

QByteArray ZKCDTrailer64::data() const {
    QByteArray out;
    ZKByteWriter writer(out);
    writer.writeUInt32(magicNumber);
    writer.writeUInt64(sizeOfTrailer);
    writer.writeUInt16(versionMadeBy);
    writer.writeUInt16(versionNeededToExtract);
    writer.writeUInt32(thisDiskNumber);
    writer.writeUInt32(diskNumberWithStartOfCentralDirectory);
    writer.writeUInt64(numberOfCentralDirectoryEntriesOnThisDisk);
    writer.writeUInt64(totalNumberOfCentralDirectoryEntries);
    writer.writeUInt64(sizeOfCentralDirectory);
    writer.writeUInt64(offsetOfStartOfCentralDirectory);
    return out;
}

QString ZKCDTrailer64::description() const {
    return QStringLiteral("zip64 end record: %1 entries, directory of %2 bytes at %3")
        .arg(totalNumberOfCentralDirectoryEntries).arg(sizeOfCentralDirectory).arg(offsetOfStartOfCentralDirectory);
}
