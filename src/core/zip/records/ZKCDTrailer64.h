#pragma once
#include "zip/ZKDefs.h"
#include <QByteArray>
#include <QString>
#include <optional>

// The zip64 end-of-central-directory record (56 bytes). It has no invariants to keep, so its
// fields are plain members.
struct ZKCDTrailer64 {
    quint32 magicNumber = ZKCDTrailer64MagicNumber;
    quint64 sizeOfTrailer = 44;
    quint16 versionMadeBy = ZKVersionMadeBy;
    quint16 versionNeededToExtract = ZKVersionNeededZip64;
    quint32 thisDiskNumber = 0;
    quint32 diskNumberWithStartOfCentralDirectory = 0;
    quint64 numberOfCentralDirectoryEntriesOnThisDisk = 0;
    quint64 totalNumberOfCentralDirectoryEntries = 0;
    quint64 sizeOfCentralDirectory = 0;
    quint64 offsetOfStartOfCentralDirectory = 0;

    static std::optional<ZKCDTrailer64> recordWithData(const QByteArray& data, qint64 offset);
    static std::optional<ZKCDTrailer64> recordWithArchivePath(const QString& path, qint64 offset);
    QByteArray data() const;
    qint64 length() const { return ZKCDTrailer64FixedDataLength; }
    QString description() const;
};
