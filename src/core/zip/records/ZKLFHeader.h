#pragma once
#include "zip/records/ZKEntryHeader.h"
#include <optional>

// The local file header that precedes each entry's stored bytes.
class ZKLFHeader : public ZKEntryHeader {
public:
    ZKLFHeader();  // version 20, flags 0, deflated, dated now, everything else empty

    // The header at the offset, or none when the bytes there are no complete local header.
    static std::optional<ZKLFHeader> recordWithData(const QByteArray& data, qint64 offset);
    static std::optional<ZKLFHeader> recordWithArchivePath(const QString& path, qint64 offset);

    // The written form: the extra field becomes the zip64 block when needed and nothing
    // otherwise; the name is precomposed UTF-8.
    QByteArray data() const;
    qint64 length() const;
    bool useZip64Extensions() const override;

    // Writes the zip64 block even when the sizes do not need it, so that a header written
    // before its sizes are known keeps its length when it is rewritten with them.
    void setForcesZip64(bool v);

    QString description() const;

private:
    bool parse(const QByteArray& data, qint64 offset);

    bool iForcesZip64 = false;
};
