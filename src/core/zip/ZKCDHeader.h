#pragma once
#include "ZKFileAttributes.h"
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

class ZKLFHeader;

// One entry of the central directory: everything the archive knows about an entry.
// Setting the name, extra field or comment keeps its length field in step; setting a size or the
// local header offset keeps the version needed to extract in step (45 with zip64, 20 otherwise).
// A parsed header keeps the lengths it was read with, so length() steps to the next header.
class ZKCDHeader {
public:
    ZKCDHeader();  // made by Unix 2.1, version 20, deflated, dated now, everything else empty
    // The directory entry for a local header written at the offset: same name, date, method,
    // flags, CRC and sizes.
    static ZKCDHeader recordForLocalHeader(const ZKLFHeader& local, quint64 localHeaderOffset);

    // The header at the offset, or none when the bytes there are no complete central header.
    static std::optional<ZKCDHeader> recordWithData(const QByteArray& data, qint64 offset);
    static std::optional<ZKCDHeader> recordWithArchivePath(const QString& path, qint64 offset);

    // The written form, always made from the current fields: the extra field becomes the zip64
    // block when needed (sizes and offset then hold 0xFFFFFFFF) and nothing otherwise.
    QByteArray data() const;
    qint64 length() const;
    bool useZip64Extensions() const;

    // Permission bits of the external attributes (0755 when none are recorded).
    quint16 posixPermissions() const;
    // A directory by its Unix file type or by a name ending in "/".
    bool isDirectory() const;
    bool isSymLink() const;
    bool isResourceFork() const;  // first name component is "__MACOSX"
    // File type, dates (both the entry's date) and permissions as an attribute record.
    ZKFileAttributes fileAttributes() const;

    quint32 magicNumber() const { return iMagicNumber; }
    quint16 versionMadeBy() const { return iVersionMadeBy; }
    void setVersionMadeBy(quint16 v) { iVersionMadeBy = v; }
    quint16 versionNeededToExtract() const { return iVersionNeededToExtract; }
    void setVersionNeededToExtract(quint16 v) { iVersionNeededToExtract = v; }
    quint16 generalPurposeBitFlag() const { return iGeneralPurposeBitFlag; }
    void setGeneralPurposeBitFlag(quint16 v) { iGeneralPurposeBitFlag = v; }
    quint16 compressionMethod() const { return iCompressionMethod; }
    void setCompressionMethod(quint16 v) { iCompressionMethod = v; }
    QDateTime lastModDate() const { return iLastModDate; }
    void setLastModDate(const QDateTime& v) { iLastModDate = v; }
    quint32 crc() const { return iCrc; }
    void setCrc(quint32 v) { iCrc = v; }
    quint64 compressedSize() const { return iCompressedSize; }
    void setCompressedSize(quint64 v);
    quint64 uncompressedSize() const { return iUncompressedSize; }
    void setUncompressedSize(quint64 v);
    quint16 filenameLength() const { return iFilenameLength; }
    quint16 extraFieldLength() const { return iExtraFieldLength; }
    quint16 commentLength() const { return iCommentLength; }
    quint16 diskNumberStart() const { return iDiskNumberStart; }
    void setDiskNumberStart(quint16 v) { iDiskNumberStart = v; }
    quint16 internalFileAttributes() const { return iInternalFileAttributes; }
    void setInternalFileAttributes(quint16 v) { iInternalFileAttributes = v; }
    quint32 externalFileAttributes() const { return iExternalFileAttributes; }
    void setExternalFileAttributes(quint32 v) { iExternalFileAttributes = v; }
    quint64 localHeaderOffset() const { return iLocalHeaderOffset; }
    void setLocalHeaderOffset(quint64 v);
    QString filename() const { return iFilename; }
    void setFilename(const QString& v);
    QByteArray extraField() const { return iExtraField; }
    void setExtraField(const QByteArray& v);
    QString comment() const { return iComment; }
    void setComment(const QString& v);

    QString description() const;

private:
    bool parse(const QByteArray& data, qint64 offset);
    void updateVersionNeeded();

    quint32 iMagicNumber;
    quint16 iVersionMadeBy;
    quint16 iVersionNeededToExtract;
    quint16 iGeneralPurposeBitFlag = 0;
    quint16 iCompressionMethod;
    QDateTime iLastModDate;
    quint32 iCrc = 0;
    quint64 iCompressedSize = 0;
    quint64 iUncompressedSize = 0;
    quint16 iFilenameLength = 0;
    quint16 iExtraFieldLength = 0;
    quint16 iCommentLength = 0;
    quint16 iDiskNumberStart = 0;
    quint16 iInternalFileAttributes = 0;
    quint32 iExternalFileAttributes = 0;
    quint64 iLocalHeaderOffset = 0;
    QString iFilename;
    QByteArray iExtraField;
    QString iComment;
};
