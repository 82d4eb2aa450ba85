#include "ZKCDHeader.h"
#include "ZKByteReader.h"
#include "ZKByteWriter.h"
#include "ZKDefs.h"
#include "ZKLFHeader.h"
#include "ZKRecordCoding.h"
#include "ZKZip64ExtraField.h"

using namespace ZKRecordCoding;

ZKCDHeader::ZKCDHeader()
    : iMagicNumber(ZKCDHeaderMagicNumber),
      iVersionMadeBy(ZKVersionMadeBy),
      iVersionNeededToExtract(ZKVersionNeeded),
      iCompressionMethod(ZKCompressionDeflated),
      iLastModDate(QDateTime::currentDateTime()) {}

ZKCDHeader ZKCDHeader::recordForLocalHeader(const ZKLFHeader& local, quint64 localHeaderOffset) {
    ZKCDHeader central;
    central.setFilename(local.filename());
    central.setLastModDate(local.lastModDate());
    central.setCompressionMethod(local.compressionMethod());
    central.setGeneralPurposeBitFlag(local.generalPurposeBitFlag());
    central.setCrc(local.crc());
    central.setCompressedSize(local.compressedSize());
    central.setUncompressedSize(local.uncompressedSize());
    central.setLocalHeaderOffset(localHeaderOffset);
    return central;
}

std::optional<ZKCDHeader> ZKCDHeader::recordWithData(const QByteArray& data, qint64 offset) {
    ZKCDHeader header;
    if (!header.parse(data, offset))
        return std::nullopt;
    return header;
}

std::optional<ZKCDHeader> ZKCDHeader::recordWithArchivePath(const QString& path, qint64 offset) {
    const QByteArray fixed = ZKByteReader::readFile(path, offset, ZKCDHeaderFixedDataLength);
    ZKByteReader lengths(fixed, 28);
    const qint64 variable = lengths.readUInt16() + lengths.readUInt16() + lengths.readUInt16();
    if (!lengths.ok())
        return std::nullopt;
    return recordWithData(ZKByteReader::readFile(path, offset, ZKCDHeaderFixedDataLength + variable), 0);
}

bool ZKCDHeader::parse(const QByteArray& data, qint64 offset) {
    ZKByteReader reader(data, offset);
    iMagicNumber = reader.readUInt32();
    if (!reader.ok() || iMagicNumber != ZKCDHeaderMagicNumber)
        return false;
    iVersionMadeBy = reader.readUInt16();
    iVersionNeededToExtract = reader.readUInt16();
    iGeneralPurposeBitFlag = reader.readUInt16();
    iCompressionMethod = reader.readUInt16();
    iLastModDate = dateTimeFromDosDate(reader.readUInt32());
    iCrc = reader.readUInt32();
    iCompressedSize = reader.readUInt32();
    iUncompressedSize = reader.readUInt32();
    iFilenameLength = reader.readUInt16();
    iExtraFieldLength = reader.readUInt16();
    iCommentLength = reader.readUInt16();
    iDiskNumberStart = reader.readUInt16();
    iInternalFileAttributes = reader.readUInt16();
    iExternalFileAttributes = reader.readUInt32();
    iLocalHeaderOffset = reader.readUInt32();
    iFilename = decodeText(reader.readBytes(iFilenameLength));
    iExtraField = reader.readBytes(iExtraFieldLength);
    iComment = decodeText(reader.readBytes(iCommentLength));
    if (!reader.ok())
        return false;
    std::vector<quint64*> saturated;
    for (quint64* field : {&iUncompressedSize, &iCompressedSize, &iLocalHeaderOffset})
        if (*field == ZKZip64Threshold)
            saturated.push_back(field);
    ZKZip64ExtraField::read(iExtraField, saturated);
    return true;
}

QByteArray ZKCDHeader::data() const {
    const bool zip64 = useZip64Extensions();
    const QByteArray name = encodeText(iFilename);
    const QByteArray comment = encodeText(iComment);
    const QByteArray extra = zip64
        ? ZKZip64ExtraField::make({iUncompressedSize, iCompressedSize, iLocalHeaderOffset}) : QByteArray();
    const auto narrow = [zip64](quint64 v) { return zip64 ? quint32(ZKZip64Threshold) : quint32(v); };
    QByteArray out;
    ZKByteWriter writer(out);
    writer.writeUInt32(iMagicNumber);
    writer.writeUInt16(iVersionMadeBy);
    writer.writeUInt16(iVersionNeededToExtract);
    writer.writeUInt16(iGeneralPurposeBitFlag | (isAscii(iFilename) && isAscii(iComment) ? 0 : ZKUTF8NamesFlag));
    writer.writeUInt16(iCompressionMethod);
    writer.writeUInt32(dosDateFromDateTime(iLastModDate));
    writer.writeUInt32(iCrc);
    writer.writeUInt32(narrow(iCompressedSize));
    writer.writeUInt32(narrow(iUncompressedSize));
    writer.writeUInt16(quint16(name.size()));
    writer.writeUInt16(quint16(extra.size()));
    writer.writeUInt16(quint16(comment.size()));
    writer.writeUInt16(iDiskNumberStart);
    writer.writeUInt16(iInternalFileAttributes);
    writer.writeUInt32(iExternalFileAttributes);
    writer.writeUInt32(narrow(iLocalHeaderOffset));
    writer.writeBytes(name);
    writer.writeBytes(extra);
    writer.writeBytes(comment);
    return out;
}

qint64 ZKCDHeader::length() const {
    const qint64 extraLength = iExtraField.isEmpty() && useZip64Extensions() ? 28 : iExtraFieldLength;
    return ZKCDHeaderFixedDataLength + iFilenameLength + extraLength + iCommentLength;
}

bool ZKCDHeader::useZip64Extensions() const {
    return iCompressedSize >= ZKZip64Threshold || iUncompressedSize >= ZKZip64Threshold
        || iLocalHeaderOffset >= ZKZip64Threshold;
}

quint16 ZKCDHeader::posixPermissions() const {
    const quint16 permissions = (iExternalFileAttributes >> 16) & 0x1FF;
    return permissions ? permissions : 0755;
}

bool ZKCDHeader::isSymLink() const { return (iExternalFileAttributes >> 29) == 5; }

bool ZKCDHeader::isDirectory() const {
    return !isSymLink() && ((iExternalFileAttributes >> 29) == 2 || iFilename.endsWith(QLatin1Char('/')));
}

bool ZKCDHeader::isResourceFork() const { return isResourceForkName(iFilename); }

ZKFileAttributes ZKCDHeader::fileAttributes() const {
    ZKFileAttributes attributes;
    attributes.fileType = isSymLink() ? ZKFileAttributes::FileType::SymbolicLink
        : isDirectory() ? ZKFileAttributes::FileType::Directory : ZKFileAttributes::FileType::Regular;
    attributes.modificationDate = iLastModDate;
    attributes.creationDate = iLastModDate;
    attributes.posixPermissions = posixPermissions();
    return attributes;
}

void ZKCDHeader::setCompressedSize(quint64 v) {
    iCompressedSize = v;
    updateVersionNeeded();
}

void ZKCDHeader::setUncompressedSize(quint64 v) {
    iUncompressedSize = v;
    updateVersionNeeded();
}

void ZKCDHeader::setLocalHeaderOffset(quint64 v) {
    iLocalHeaderOffset = v;
    updateVersionNeeded();
}

void ZKCDHeader::setFilename(const QString& v) {
    iFilename = v;
    iFilenameLength = quint16(encodeText(v).size());
}

void ZKCDHeader::setExtraField(const QByteArray& v) {
    iExtraField = v;
    iExtraFieldLength = quint16(v.size());
}

void ZKCDHeader::setComment(const QString& v) {
    iComment = v;
    iCommentLength = quint16(encodeText(v).size());
}

void ZKCDHeader::updateVersionNeeded() {
    iVersionNeededToExtract = useZip64Extensions() ? ZKVersionNeededZip64 : ZKVersionNeeded;
}

QString ZKCDHeader::description() const {
    return QStringLiteral("central header \"%1\": method %2, crc %3, %4 -> %5 bytes, at %6, attributes %7")
        .arg(iFilename).arg(iCompressionMethod).arg(iCrc, 8, 16, QLatin1Char('0'))
        .arg(iUncompressedSize).arg(iCompressedSize).arg(iLocalHeaderOffset)
        .arg(iExternalFileAttributes, 8, 16, QLatin1Char('0'));
}
