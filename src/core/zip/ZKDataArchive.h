#pragma once
#include "zip/ZKArchive.h"
#include "zip/ZKFileAttributes.h"
#include <QByteArray>
#include <memory>
#include <optional>

// An archive held in a byte buffer, as the book description is stored. After every successful
// add the buffer ends with a complete central directory and end record.
class ZKDataArchive : public ZKArchive {
public:
    ZKDataArchive();  // empty buffer, empty directory, fresh end record

    // The archive in the bytes, or none when they hold no archive or a broken one (directory
    // outside the bytes, entry count that does not match the directory, ...).
    static std::unique_ptr<ZKDataArchive> archiveWithArchiveData(const QByteArray& data);

    // Appends one deflated entry and rewrites the directory and end record. With attributes the
    // entry takes their modification date, file type and permissions. ZKFailed, and nothing
    // changed, for an empty name or when compression fails.
    int deflateData(const QByteArray& data, const QString& filename,
                    const std::optional<ZKFileAttributes>& attributes = std::nullopt);

    // The entry's bytes: the inflated (or stored) content of a file, the target of a link, the
    // UTF-8 name of a directory. None when the entry's bytes lie outside the buffer, cannot be
    // inflated, or do not match the entry's recorded size and CRC-32.
    std::optional<QByteArray> inflateFile(const ZKCDHeader& header,
                                          ZKFileAttributes* attributes = nullptr) const;

    const QByteArray& data() const { return iData; }

protected:
    QByteArray readArchiveBytes(qint64 offset, qint64 count) const override;
    qint64 archiveSize() const override;

private:
    std::optional<QByteArray> entryBytes(const ZKCDHeader& header) const;

    QByteArray iData;
};
