#pragma once
#include <QByteArray>
#include <QString>
#include <QtGlobal>

// Reads little-endian values from a buffer; reading past the end sets a failure flag and yields
// zeros instead of touching memory outside the buffer. The buffer must outlive the reader.
class ZKByteReader {
public:
    ZKByteReader(const QByteArray& data, qint64 offset);

    quint16 readUInt16();
    quint32 readUInt32();
    quint64 readUInt64();
    QByteArray readBytes(qint64 count);
    void skip(qint64 count);
    // Up to count bytes of the file from the offset; fewer at its end, none when unreadable.
    static QByteArray readFile(const QString& path, qint64 offset, qint64 count);

    bool ok() const { return iOk; }
    qint64 position() const { return iPosition; }
    qint64 remaining() const { return iOk ? iData.size() - iPosition : 0; }

private:
    bool take(qint64 count);
    quint64 readLittleEndian(int width);

    const QByteArray& iData;
    qint64 iPosition;
    bool iOk;
};
