#include "zip/records/ZKCDHeader.h"
#include "zip/records/ZKByteReader.h"
#include "zip/records/ZKByteWriter.h"
#include "zip/ZKDefs.h"
#include "zip/records/ZKLFHeader.h"
#include "zip/records/ZKRecordCoding.h"
#include "zip/records/ZKZip64ExtraField.h"

using namespace ZKRecordCoding;

ZKCDHeader::ZKCDHeader() : ZKEntryHeader(ZKCDHeaderMagicNumber), iVersionMadeBy(ZKVersionMadeBy) {}

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
    if (!readMagicNumber(reader))
        return false;
    iVersionMadeBy = reader.readUInt16();
    readSharedFields(reader);
    iCommentLength = reader.readUInt16();
    iDiskNumberStart = reader.readUInt16();
    iInternalFileAttributes = reader.readUInt16();
    iExternalFileAttributes = reader.readUInt32();
    iLocalHeaderOffset = reader.readUInt32();
    readFilenameAndExtraField(reader);
    iComment = decodeText(reader.readBytes(iCommentLength));
    if (!reader.ok())
        return false;
    readZip64ExtraField();
    return true;
}

std::vector<quint64*> ZKCDHeader::saturatedFields() {
    std::vector<quint64*> fields = ZKEntryHeader::saturatedFields();
    if (iLocalHeaderOffset == ZKZip64Threshold)
        fields.push_back(&iLocalHeaderOffset);
    return fields;
}

QByteArray ZKCDHeader::data() const {
    const QByteArray name = encodeText(iFilename);
    const QByteArray comment = encodeText(iComment);
    const QByteArray extra = useZip64Extensions()
        ? ZKZip64ExtraField::make({iUncompressedSize, iCompressedSize, iLocalHeaderOffset}) : QByteArray();
    QByteArray out;
    ZKByteWriter writer(out);
    writer.writeUInt32(iMagicNumber);
    writer.writeUInt16(iVersionMadeBy);
    writeSharedFields(writer, !isAscii(iFilename) || !isAscii(iComment), name.size(), extra.size());
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
    return ZKEntryHeader::useZip64Extensions() || iLocalHeaderOffset >= ZKZip64Threshold;
}

quint16 ZKCDHeader::posixPermissions() const {
    const quint16 permissions = (iExternalFileAttributes >> 16) & 0x1FF;
    return permissions ? permissions : 0755;
}

bool ZKCDHeader::isSymLink() const { return (iExternalFileAttributes >> 29) == 5; }

bool ZKCDHeader::isDirectory() const {
    return !isSymLink() && ((iExternalFileAttributes >> 29) == 2 || iFilename.endsWith(QLatin1Char('/')));
}

ZKFileAttributes ZKCDHeader::fileAttributes() const {
    ZKFileAttributes attributes;
    attributes.fileType = isSymLink() ? ZKFileAttributes::FileType::SymbolicLink
        : isDirectory() ? ZKFileAttributes::FileType::Directory : ZKFileAttributes::FileType::Regular;
    attributes.modificationDate = iLastModDate;
    attributes.creationDate = iLastModDate;
    attributes.posixPermissions = posixPermissions();
    return attributes;
}

void ZKCDHeader::setLocalHeaderOffset(quint64 v) {
    iLocalHeaderOffset = v;
    updateVersionNeeded();
}

void ZKCDHeader::setComment(const QString& v) {
    iComment = v;
    iCommentLength = quint16(encodeText(v).size());
}

QString ZKCDHeader::description() const {
    return QStringLiteral("central header \"%1\": method %2, crc %3, %4 -> %5 bytes, at %6, attributes %7")
        .arg(iFilename, QString::number(iCompressionMethod), QString::number(iCrc, 16),
             QString::number(iUncompressedSize), QString::number(iCompressedSize),
             QString::number(iLocalHeaderOffset), QString::number(iExternalFileAttributes, 16));
}
