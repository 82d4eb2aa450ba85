#pragma once
#include "zip/records/ZKEntryHeader.h"
#include "zip/ZKFileAttributes.h"
#include <optional>

class ZKLFHeader;

// One entry of the central directory: everything the archive knows about an entry. Setting the
// comment keeps its length in step; setting the local header offset, like the sizes, keeps the
// version needed to extract in step.
class ZKCDHeader : public ZKEntryHeader {
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
    bool useZip64Extensions() const override;  // a size or the offset of 0xFFFFFFFF or more

    // Permission bits of the external attributes (0755 when none are recorded).
    quint16 posixPermissions() const;
    // A directory by its Unix file type or by a name ending in "/".
    bool isDirectory() const;
    bool isSymLink() const;
    // File type, dates (both the entry's date) and permissions as an attribute record.
    ZKFileAttributes fileAttributes() const;

    quint16 versionMadeBy() const { return iVersionMadeBy; }
    void setVersionMadeBy(quint16 v) { iVersionMadeBy = v; }
    quint16 commentLength() const { return iCommentLength; }
    quint16 diskNumberStart() const { return iDiskNumberStart; }
    void setDiskNumberStart(quint16 v) { iDiskNumberStart = v; }
    quint16 internalFileAttributes() const { return iInternalFileAttributes; }
    void setInternalFileAttributes(quint16 v) { iInternalFileAttributes = v; }
    quint32 externalFileAttributes() const { return iExternalFileAttributes; }
    void setExternalFileAttributes(quint32 v) { iExternalFileAttributes = v; }
    quint64 localHeaderOffset() const { return iLocalHeaderOffset; }
    void setLocalHeaderOffset(quint64 v);
    QString comment() const { return iComment; }
    void setComment(const QString& v);

    QString description() const;

private:
    bool parse(const QByteArray& data, qint64 offset);
    std::vector<quint64*> saturatedFields() override;

    quint16 iVersionMadeBy;
    quint16 iCommentLength = 0;
    quint16 iDiskNumberStart = 0;
    quint16 iInternalFileAttributes = 0;
    quint32 iExternalFileAttributes = 0;
    quint64 iLocalHeaderOffset = 0;
    QString iComment;
};
