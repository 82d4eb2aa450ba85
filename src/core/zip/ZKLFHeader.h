#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <optional>

// The local file header that precedes each entry's stored bytes.
// Setting a name or extra field keeps its length field in step; setting a size keeps the version
// needed to extract in step (45 when the sizes need zip64, 20 otherwise). A parsed header keeps
// the lengths it was read with, so length() always tells where the entry's bytes start.
class ZKLFHeader {
public:
    ZKLFHeader();  // version 20, flags 0, deflated, dated now, everything else empty

    // The header at the offset, or none when the bytes there are no complete local header.
    static std::optional<ZKLFHeader> recordWithData(const QByteArray& data, qint64 offset);
    static std::optional<ZKLFHeader> recordWithArchivePath(const QString& path, qint64 offset);

    // The written form: the extra field becomes the zip64 block when needed and nothing
    // otherwise; the name is precomposed UTF-8.
    QByteArray data() const;
    qint64 length() const;
    bool useZip64Extensions() const;
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

    // Writes the zip64 block even when the sizes do not need it, so that a header written
    // before its sizes are known keeps its length when it is rewritten with them.
    void setForcesZip64(bool v);

    QString description() const;

private:
    bool parse(const QByteArray& data, qint64 offset);
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
    bool iForcesZip64 = false;
};
