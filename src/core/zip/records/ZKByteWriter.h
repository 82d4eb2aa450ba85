#pragma once
#include <QByteArray>
#include <QtGlobal>

// Appends little-endian values to a buffer.
class ZKByteWriter {
public:
    explicit ZKByteWriter(QByteArray& out) : iOut(out) {}
    void writeUInt16(quint16 v) { writeLittleEndian(v, 2); }
    void writeUInt32(quint32 v) { writeLittleEndian(v, 4); }
    void writeUInt64(quint64 v) { writeLittleEndian(v, 8); }
    void writeBytes(const QByteArray& bytes) { iOut.append(bytes); }

private:
    void writeLittleEndian(quint64 v, int width) {
        for (int i = 0; i < width; ++i, v >>= 8)
            iOut.append(char(v & 0xFF));
    }
    QByteArray& iOut;
};
