#include "zip/records/ZKLFHeader.h"
#include "zip/records/ZKByteReader.h"
#include "zip/records/ZKByteWriter.h"
#include "zip/ZKDefs.h"
#include "zip/records/ZKRecordCoding.h"
#include "zip/records/ZKZip64ExtraField.h"

using namespace ZKRecordCoding;

ZKLFHeader::ZKLFHeader() : ZKEntryHeader(ZKLFHeaderMagicNumber) {}

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
    if (!readMagicNumber(reader))
        return false;
    readSharedFields(reader);
    readFilenameAndExtraField(reader);
    if (!reader.ok())
        return false;
    readZip64ExtraField();
    return true;
}

QByteArray ZKLFHeader::data() const {
    const QByteArray name = encodeText(iFilename);
    const QByteArray extra = useZip64Extensions()
        ? ZKZip64ExtraField::make({iUncompressedSize, iCompressedSize}) : QByteArray();
    QByteArray out;
    ZKByteWriter writer(out);
    writer.writeUInt32(iMagicNumber);
    writeSharedFields(writer, !isAscii(iFilename), name.size(), extra.size());
    writer.writeBytes(name);
    writer.writeBytes(extra);
    return out;
}

qint64 ZKLFHeader::length() const {
    const qint64 extraLength = iExtraField.isEmpty() && useZip64Extensions() ? 20 : iExtraFieldLength;
    return ZKLFHeaderFixedDataLength + iFilenameLength + extraLength;
}

bool ZKLFHeader::useZip64Extensions() const { return iForcesZip64 || ZKEntryHeader::useZip64Extensions(); }

void ZKLFHeader::setForcesZip64(bool v) {
    iForcesZip64 = v;
    updateVersionNeeded();
}

QString ZKLFHeader::description() const {
    return QStringLiteral("local header \"%1\": method %2, crc %3, %4 -> %5 bytes, version %6")
        .arg(iFilename, QString::number(iCompressionMethod), QString::number(iCrc, 16),
             QString::number(iUncompressedSize), QString::number(iCompressedSize),
             QString::number(iVersionNeededToExtract));
}
