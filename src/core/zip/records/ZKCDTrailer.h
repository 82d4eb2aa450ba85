#pragma once
#include <QByteArray>
#include <QString>
#include <optional>

// The end-of-central-directory record. Entry counts, directory size and offset are kept 64 bits
// wide; data() writes their 32-bit (16-bit for counts) forms, saturated when zip64 is needed.
class ZKCDTrailer {
public:
    ZKCDTrailer();  // no entries, comment "Archive created with ZipKit"

    // Searches backwards from the end for the record; none when there is no archive.
    static std::optional<ZKCDTrailer> recordWithData(const QByteArray& data);
    static std::optional<ZKCDTrailer> recordWithArchivePath(const QString& path);
    // The record at exactly that offset.
    static std::optional<ZKCDTrailer> recordWithData(const QByteArray& data, qint64 offset);

    QByteArray data() const;
    qint64 length() const;
    // Directory size or offset beyond 32 bits, or more entries than 16 bits can count.
    bool useZip64Extensions() const;

    // Where a found record starts in its buffer or file; -1 for a record made in memory.
    qint64 recordOffset() const { return iRecordOffset; }

    quint32 magicNumber() const { return iMagicNumber; }
    quint16 thisDiskNumber() const { return iThisDiskNumber; }
    void setThisDiskNumber(quint16 v) { iThisDiskNumber = v; }
    quint16 diskNumberWithStartOfCentralDirectory() const { return iDiskNumberWithStartOfCentralDirectory; }
    void setDiskNumberWithStartOfCentralDirectory(quint16 v) { iDiskNumberWithStartOfCentralDirectory = v; }
    quint64 numberOfCentralDirectoryEntriesOnThisDisk() const { return iNumberOfCentralDirectoryEntriesOnThisDisk; }
    void setNumberOfCentralDirectoryEntriesOnThisDisk(quint64 v) { iNumberOfCentralDirectoryEntriesOnThisDisk = v; }
    quint64 totalNumberOfCentralDirectoryEntries() const { return iTotalNumberOfCentralDirectoryEntries; }
    void setTotalNumberOfCentralDirectoryEntries(quint64 v) { iTotalNumberOfCentralDirectoryEntries = v; }
    quint64 sizeOfCentralDirectory() const { return iSizeOfCentralDirectory; }
    void setSizeOfCentralDirectory(quint64 v) { iSizeOfCentralDirectory = v; }
    quint64 offsetOfStartOfCentralDirectory() const { return iOffsetOfStartOfCentralDirectory; }
    void setOffsetOfStartOfCentralDirectory(quint64 v) { iOffsetOfStartOfCentralDirectory = v; }
    quint16 commentLength() const { return iCommentLength; }
    QString comment() const { return iComment; }
    void setComment(const QString& v);

    QString description() const;

private:
    bool parse(const QByteArray& data, qint64 offset);

    quint32 iMagicNumber;
    quint16 iThisDiskNumber = 0;
    quint16 iDiskNumberWithStartOfCentralDirectory = 0;
    quint64 iNumberOfCentralDirectoryEntriesOnThisDisk = 0;
    quint64 iTotalNumberOfCentralDirectoryEntries = 0;
    quint64 iSizeOfCentralDirectory = 0;
    quint64 iOffsetOfStartOfCentralDirectory = 0;
    quint16 iCommentLength = 0;
    QString iComment;
    qint64 iRecordOffset = -1;
};
