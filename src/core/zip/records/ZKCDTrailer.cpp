#include "zip/records/ZKCDTrailer.h"
#include "zip/records/ZKByteReader.h"
#include "zip/records/ZKByteWriter.h"
#include "zip/ZKDefs.h"
#include "zip/records/ZKRecordCoding.h"
#include <QFileInfo>

using namespace ZKRecordCoding;

ZKCDTrailer::ZKCDTrailer() : iMagicNumber(ZKCDTrailerMagicNumber) {
    setComment(ZKDefaultArchiveComment);
}

std::optional<ZKCDTrailer> ZKCDTrailer::recordWithData(const QByteArray& data, qint64 offset) {
    ZKCDTrailer trailer;
    if (!trailer.parse(data, offset))
        return std::nullopt;
    trailer.iRecordOffset = offset;
    return trailer;
}

std::optional<ZKCDTrailer> ZKCDTrailer::recordWithData(const QByteArray& data) {
    const qint64 lowest = qMax<qint64>(0, data.size() - ZKCDTrailerMaximumLength);
    const QByteArray signature = QByteArrayLiteral("PK\x05\x06");
    for (qint64 offset = data.size() - ZKCDTrailerFixedDataLength; offset >= lowest; --offset) {
        if (data[offset] != 'P' || QByteArrayView(data).sliced(offset, 4) != signature)
            continue;
        if (auto trailer = recordWithData(data, offset))
            return trailer;
    }
    return std::nullopt;
}

std::optional<ZKCDTrailer> ZKCDTrailer::recordWithArchivePath(const QString& path) {
    const qint64 fileSize = QFileInfo(path).size();
    const qint64 tailStart = qMax<qint64>(0, fileSize - ZKCDTrailerMaximumLength);
    auto trailer = recordWithData(ZKByteReader::readFile(path, tailStart, ZKCDTrailerMaximumLength));
    if (trailer)
        trailer->iRecordOffset += tailStart;
    return trailer;
}

bool ZKCDTrailer::parse(const QByteArray& data, qint64 offset) {
    ZKByteReader reader(data, offset);
    iMagicNumber = reader.readUInt32();
    if (!reader.ok() || iMagicNumber != ZKCDTrailerMagicNumber)
        return false;
    iThisDiskNumber = reader.readUInt16();
    iDiskNumberWithStartOfCentralDirectory = reader.readUInt16();
    iNumberOfCentralDirectoryEntriesOnThisDisk = reader.readUInt16();
    iTotalNumberOfCentralDirectoryEntries = reader.readUInt16();
    iSizeOfCentralDirectory = reader.readUInt32();
    iOffsetOfStartOfCentralDirectory = reader.readUInt32();
    iCommentLength = reader.readUInt16();
    iComment = decodeText(reader.readBytes(iCommentLength));
    return reader.ok();
}

QByteArray ZKCDTrailer::data() const {
    const bool zip64 = useZip64Extensions();
    const QByteArray comment = encodeText(iComment);
    const auto count = [](quint64 v) { return quint16(qMin<quint64>(v, 0xFFFF)); };
    QByteArray out;
    ZKByteWriter writer(out);
    writer.writeUInt32(iMagicNumber);
    writer.writeUInt16(iThisDiskNumber);
    writer.writeUInt16(iDiskNumberWithStartOfCentralDirectory);
    writer.writeUInt16(count(iNumberOfCentralDirectoryEntriesOnThisDisk));
    writer.writeUInt16(count(iTotalNumberOfCentralDirectoryEntries));
    writer.writeUInt32(zip64 ? quint32(ZKZip64Threshold) : quint32(iSizeOfCentralDirectory));
    writer.writeUInt32(zip64 ? quint32(ZKZip64Threshold) : quint32(iOffsetOfStartOfCentralDirectory));
    writer.writeUInt16(quint16(comment.size()));
    writer.writeBytes(comment);
    return out;
}

qint64 ZKCDTrailer::length() const { return ZKCDTrailerFixedDataLength + iCommentLength; }

bool ZKCDTrailer::useZip64Extensions() const {
    return iSizeOfCentralDirectory >= ZKZip64Threshold || iOffsetOfStartOfCentralDirectory >= ZKZip64Threshold
        || iTotalNumberOfCentralDirectoryEntries >= 0xFFFF;
}

void ZKCDTrailer::setComment(const QString& v) {
    iComment = v;
    iCommentLength = quint16(qMin<qsizetype>(encodeText(v).size(), 0xFFFF));
}

QString ZKCDTrailer::description() const {
    return QStringLiteral("end record: %1 entries, directory of %2 bytes at %3, comment \"%4\"")
        .arg(iTotalNumberOfCentralDirectoryEntries).arg(iSizeOfCentralDirectory)
        .arg(iOffsetOfStartOfCentralDirectory).arg(iComment);
}
