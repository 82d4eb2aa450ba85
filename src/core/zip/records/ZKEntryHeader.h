#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <vector>

class ZKByteReader;
class ZKByteWriter;

// What the local and the central header of an entry share, laid out alike in both: version
// needed, flags, method, date, CRC, sizes, name and extra field.
// Setting a name or extra field keeps its length field in step; setting a size keeps the version
// needed to extract in step (45 when zip64 is needed, 20 otherwise). A parsed header keeps the
// lengths it was read with, so length() always tells where the bytes after it start.
class ZKEntryHeader {
public:
    virtual ~ZKEntryHeader() = default;

    virtual bool useZip64Extensions() const;  // a size of 0xFFFFFFFF or more
    bool isResourceFork() const;  // first name component is "__MACOSX"

    quint32 magicNumber() const { return iMagicNumber; }
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
    QString filename() const { return iFilename; }
    void setFilename(const QString& v);
    QByteArray extraField() const { return iExtraField; }
    void setExtraField(const QByteArray& v);

protected:
    explicit ZKEntryHeader(quint32 magicNumber);  // version 20, deflated, dated now

    // Reads the signature; false when it is not this record's.
    bool readMagicNumber(ZKByteReader& reader);
    // From the version needed up to the extra field length.
    void readSharedFields(ZKByteReader& reader);
    void readFilenameAndExtraField(ZKByteReader& reader);
    // The size fields whose 32-bit form defers to the zip64 block, in the block's order.
    virtual std::vector<quint64*> saturatedFields();
    void readZip64ExtraField();
    // From the version needed up to the extra field length, as written by data().
    void writeSharedFields(ZKByteWriter& writer, bool utf8, qint64 filenameLength, qint64 extraFieldLength) const;
    // A 64-bit value in its 32-bit field.
    quint32 narrow(quint64 value) const;
    void updateVersionNeeded();

    quint32 iMagicNumber;
    quint16 iVersionNeededToExtract;
    quint16 iGeneralPurposeBitFlag = 0;
    quint16 iCompressionMethod;
    QDateTime iLastModDate;
    quint32 iCrc = 0;
    quint64 iCompressedSize = 0;
    quint64 iUncompressedSize = 0;
    quint16 iFilenameLength = 0;
    quint16 iExtraFieldLength = 0;
    QString iFilename;
    QByteArray iExtraField;
};
