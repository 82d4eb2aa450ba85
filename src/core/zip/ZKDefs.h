#pragma once
#include <QString>
#include <QtGlobal>

// Record signatures and fixed lengths of the zip format (all integers little-endian).
constexpr quint32 ZKLFHeaderMagicNumber = 0x04034b50;
constexpr int ZKLFHeaderFixedDataLength = 30;
constexpr quint32 ZKCDHeaderMagicNumber = 0x02014b50;
constexpr int ZKCDHeaderFixedDataLength = 46;
constexpr quint32 ZKCDTrailerMagicNumber = 0x06054b50;
constexpr int ZKCDTrailerFixedDataLength = 22;
constexpr qint64 ZKCDTrailerMaximumLength = ZKCDTrailerFixedDataLength + 0xFFFF;  // with the longest comment
constexpr quint32 ZKCDTrailer64MagicNumber = 0x06064b50;
constexpr int ZKCDTrailer64FixedDataLength = 56;
constexpr quint32 ZKCDTrailer64LocatorMagicNumber = 0x07064b50;
constexpr int ZKCDTrailer64LocatorFixedDataLength = 20;

// A 32-bit size or offset field holding this value defers to the zip64 extra block.
constexpr quint64 ZKZip64Threshold = 0xFFFFFFFFu;
constexpr quint16 ZKZip64ExtraFieldTag = 0x0001;
constexpr quint16 ZKVersionNeeded = 20;
constexpr quint16 ZKVersionNeededZip64 = 45;
constexpr quint16 ZKVersionMadeBy = 789;  // Unix, format version 2.1
constexpr quint16 ZKCompressionStored = 0;
constexpr quint16 ZKCompressionDeflated = 8;
constexpr quint16 ZKUTF8NamesFlag = 0x0800;  // general purpose bit 11: names are UTF-8

constexpr qint64 ZKZipBlockSize = 262144;
constexpr int ZKNotificationIterations = 100;
inline const QString ZKMacOSXDirectory = QStringLiteral("__MACOSX");
inline const QString ZKDotUnderscore = QStringLiteral("._");
inline const QString ZKExpansionDirectoryName = QStringLiteral(".ZipKit");
inline const QString ZKArchiveFileExtension = QStringLiteral("zip");
inline const QString ZKDefaultArchiveComment = QStringLiteral("Archive created with ZipKit");

// Results of the archive operations.
constexpr int ZKSucceeded = 1;
constexpr int ZKCancelled = 0;
constexpr int ZKFailed = -1;
