#include "ZKLFHeader.h"
#include "ZKByteReader.h"
#include "ZKByteWriter.h"
#include "ZKDefs.h"
#include "ZKRecordCoding.h"
#include "ZKZip64ExtraField.h"

using namespace ZKRecordCoding;

ZKLFHeader::ZKLFHeader()
    : iMagicNumber(ZKLFHeaderMagicNumber),
      iVersionNeededToExtract(ZKVersionNeeded),
      iCompressionMethod(ZKCompressionDeflated),
      iLastModDate(QDateTime::currentDateTime()) {}

std::optional<ZKLFHeader> ZKLFHeader::recordWithData(const QByteArray& data, qint64 offset) {
    ZKLFHeader header;
    if (!header.parse(data, offset))
        return std::nullopt;
    return header;
}

std::optional<ZKLFHeader> ZKLFHeader::recordWithArchivePath(const QString& path, qint64 offset) {
    const QByteArray fixed = ZKByteReader::readFile(path, offset, ZKLFHeaderFixedDataLength);
    ZKByteReader lengths(fixed, ZKLFHeaderFixedDataLength - 4);
    const qint64 variable = lengths.readUInt16() + lengths.readUInt16();
    if (!lengths.ok())
        return std::nullopt;
    return recordWithData(ZKByteReader::readFile(path, offset, ZKLFHeaderFixedDataLength + variable), 0);
}

bool ZKLFHeader::parse(const QByteArray& data, qint64 offset) {
    ZKByteReader reader(data, offset);
    iMagicNumber = reader.readUInt32();
    if (!reader.ok() || iMagicNumber != ZKLFHeaderMagicNumber)
        return false;
    iVersionNeededToExtract = reader.readUInt16();
    iGeneralPurposeBitFlag = reader.readUInt16();
    iCompressionMethod = reader.readUInt16();
    iLastModDate = dateTimeFromDosDate(reader.readUInt32());
    iCrc = reader.readUInt32();
    iCompressedSize = reader.readUInt32();
    iUncompressedSize = reader.readUInt32();
    iFilenameLength = reader.readUInt16();
    iExtraFieldLength = reader.readUInt16();
    iFilename = decodeText(reader.readBytes(iFilenameLength));
    iExtraField = reader.readBytes(iExtraFieldLength);
    if (!reader.ok())
        return false;
    std::vector<quint64*> saturated;
    if (iUncompressedSize == ZKZip64Threshold)
        saturated.push_back(&iUncompressedSize);
    if (iCompressedSize == ZKZip64Threshold)
        saturated.push_back(&iCompressedSize);
    ZKZip64ExtraField::read(iExtraField, saturated);
    return true;
}

QByteArray ZKLFHeader::data() const {
    const bool zip64 = useZip64Extensions();
    const QByteArray name = encodeText(iFilename);
    const QByteArray extra = zip64 ? ZKZip64ExtraField::make({iUncompressedSize, iCompressedSize}) : QByteArray();
    QByteArray out;
    ZKByteWriter writer(out);
    writer.writeUInt32(iMagicNumber);
    writer.writeUInt16(iVersionNeededToExtract);
    writer.writeUInt16(iGeneralPurposeBitFlag | (isAscii(iFilename) ? 0 : ZKUTF8NamesFlag));
    writer.writeUInt16(iCompressionMethod);
    writer.writeUInt32(dosDateFromDateTime(iLastModDate));
    writer.writeUInt32(iCrc);
    writer.writeUInt32(zip64 ? quint32(ZKZip64Threshold) : quint32(iCompressedSize));
    writer.writeUInt32(zip64 ? quint32(ZKZip64Threshold) : quint32(iUncompressedSize));
    writer.writeUInt16(quint16(name.size()));
    writer.writeUInt16(quint16(extra.size()));
    writer.writeBytes(name);
    writer.writeBytes(extra);
    return out;
}

qint64 ZKLFHeader::length() const {
    const qint64 extraLength = iExtraField.isEmpty() && useZip64Extensions() ? 20 : iExtraFieldLength;
    return ZKLFHeaderFixedDataLength + iFilenameLength + extraLength;
}

bool ZKLFHeader::useZip64Extensions() const {
    return iForcesZip64 || iCompressedSize >= ZKZip64Threshold || iUncompressedSize >= ZKZip64Threshold;
}

bool ZKLFHeader::isResourceFork() const { return isResourceForkName(iFilename); }

void ZKLFHeader::setCompressedSize(quint64 v) {
    iCompressedSize = v;
    updateVersionNeeded();
}

void ZKLFHeader::setUncompressedSize(quint64 v) {
    iUncompressedSize = v;
    updateVersionNeeded();
}

void ZKLFHeader::setFilename(const QString& v) {
    iFilename = v;
    iFilenameLength = quint16(encodeText(v).size());
}

void ZKLFHeader::setExtraField(const QByteArray& v) {
    iExtraField = v;
    iExtraFieldLength = quint16(v.size());
}

void ZKLFHeader::setForcesZip64(bool v) {
    iForcesZip64 = v;
    updateVersionNeeded();
}

void ZKLFHeader::updateVersionNeeded() {
    iVersionNeededToExtract = useZip64Extensions() ? ZKVersionNeededZip64 : ZKVersionNeeded;
}

QString ZKLFHeader::description() const {
    return QStringLiteral("local header \"%1\": method %2, crc %3, %4 -> %5 bytes, version %6")
        .arg(iFilename).arg(iCompressionMethod).arg(iCrc, 8, 16, QLatin1Char('0'))
        .arg(iUncompressedSize).arg(iCompressedSize).arg(iVersionNeededToExtract);
}
