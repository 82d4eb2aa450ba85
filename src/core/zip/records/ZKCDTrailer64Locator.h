#pragma once
#include "zip/ZKDefs.h"
#include <QByteArray>
#include <QString>
#include <optional>

// The zip64 locator (20 bytes) that stands just before the end record and points to the zip64
// end record.
struct ZKCDTrailer64Locator {
    quint32 magicNumber = ZKCDTrailer64LocatorMagicNumber;
    quint32 diskNumberWithStartOfCentralDirectory = 0;
    quint64 offsetOfStartOfCentralDirectoryTrailer64 = 0;
    quint32 numberOfDisks = 1;

    static std::optional<ZKCDTrailer64Locator> recordWithData(const QByteArray& data, qint64 offset);
    static std::optional<ZKCDTrailer64Locator> recordWithArchivePath(const QString& path, qint64 offset);
    QByteArray data() const;
    qint64 length() const { return ZKCDTrailer64LocatorFixedDataLength; }
    QString description() const;
};
