#include "zip/records/ZKEntryHeader.h"
#include "zip/records/ZKByteReader.h"
#include "zip/records/ZKByteWriter.h"
#include "zip/ZKDefs.h"
#include "zip/records/ZKRecordCoding.h"
#include "zip/records/ZKZip64ExtraField.h"

using namespace ZKRecordCoding;

ZKEntryHeader::ZKEntryHeader(quint32 magicNumber)
    : iMagicNumber(magicNumber),
      iVersionNeededToExtract(ZKVersionNeeded),
      iCompressionMethod(ZKCompressionDeflated),
      iLastModDate(QDateTime::currentDateTime()) {}

bool ZKEntryHeader::useZip64Extensions() const {
    return iCompressedSize >= ZKZip64Threshold || iUncompressedSize >= ZKZip64Threshold;
}

bool ZKEntryHeader::isResourceFork() const { return isResourceForkName(iFilename); }

void ZKEntryHeader::setCompressedSize(quint64 v) {
    iCompressedSize = v;
    updateVersionNeeded();
}

void ZKEntryHeader::setUncompressedSize(quint64 v) {
    iUncompressedSize = v;
    updateVersionNeeded();
}

void ZKEntryHeader::setFilename(const QString& v) {
    iFilename = v;
    iFilenameLength = quint16(encodeText(v).size());
}

void ZKEntryHeader::setExtraField(const QByteArray& v) {
    iExtraField = v;
    iExtraFieldLength = quint16(v.size());
}

void ZKEntryHeader::updateVersionNeeded() {
    iVersionNeededToExtract = useZip64Extensions() ? ZKVersionNeededZip64 : ZKVersionNeeded;
}

bool ZKEntryHeader::readMagicNumber(ZKByteReader& reader) {
    const quint32 magicNumber = reader.readUInt32();
    return reader.ok() && magicNumber == iMagicNumber;
}

void ZKEntryHeader::readSharedFields(ZKByteReader& reader) {
    iVersionNeededToExtract = reader.readUInt16();
    iGeneralPurposeBitFlag = reader.readUInt16();
    iCompressionMethod = reader.readUInt16();
    iLastModDate = dateTimeFromDosDate(reader.readUInt32());
    iCrc = reader.readUInt32();
    iCompressedSize = reader.readUInt32();
    iUncompressedSize = reader.readUInt32();
    iFilenameLength = reader.readUInt16();
    iExtraFieldLength = reader.readUInt16();
}

void ZKEntryHeader::readFilenameAndExtraField(ZKByteReader& reader) {
    iFilename = decodeText(reader.readBytes(iFilenameLength));
    iExtraField = reader.readBytes(iExtraFieldLength);
}

std::vector<quint64*> ZKEntryHeader::saturatedFields() {
    std::vector<quint64*> fields;
    for (quint64* field : {&iUncompressedSize, &iCompressedSize})
        if (*field == ZKZip64Threshold)
            fields.push_back(field);
    return fields;
}

void ZKEntryHeader::readZip64ExtraField() { ZKZip64ExtraField::read(iExtraField, saturatedFields()); }

void ZKEntryHeader::writeSharedFields(ZKByteWriter& writer, bool utf8, qint64 filenameLength, qint64 extraFieldLength) const {
    writer.writeUInt16(iVersionNeededToExtract);
    writer.writeUInt16(iGeneralPurposeBitFlag | (utf8 ? ZKUTF8NamesFlag : 0));
    writer.writeUInt16(iCompressionMethod);
    writer.writeUInt32(dosDateFromDateTime(iLastModDate));
    writer.writeUInt32(iCrc);
    writer.writeUInt32(narrow(iCompressedSize));
    writer.writeUInt32(narrow(iUncompressedSize));
    writer.writeUInt16(quint16(filenameLength));
    writer.writeUInt16(quint16(extraFieldLength));
}

quint32 ZKEntryHeader::narrow(quint64 value) const {
    return useZip64Extensions() ? quint32(ZKZip64Threshold) : quint32(value);
}
