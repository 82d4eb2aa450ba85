#include "zip/records/ZKByteReader.h"
#include <QFile>

ZKByteReader::ZKByteReader(const QByteArray& data, qint64 offset)
    : iData(data), iPosition(offset), iOk(offset >= 0 && offset <= data.size()) {}

bool ZKByteReader::take(qint64 count) {
    if (!iOk || count < 0 || count > iData.size() - iPosition) {
        iOk = false;
        return false;
    }
    return true;
}

quint64 ZKByteReader::readLittleEndian(int width) {
    if (!take(width))
        return 0;
    quint64 value = 0;
    for (int i = width - 1; i >= 0; --i)
        value = (value << 8) | quint8(iData[iPosition + i]);
    iPosition += width;
    return value;
}

quint16 ZKByteReader::readUInt16() { return quint16(readLittleEndian(2)); }
quint32 ZKByteReader::readUInt32() { return quint32(readLittleEndian(4)); }
quint64 ZKByteReader::readUInt64() { return readLittleEndian(8); }

QByteArray ZKByteReader::readBytes(qint64 count) {
    if (!take(count))
        return {};
    const QByteArray bytes = iData.mid(iPosition, count);
    iPosition += count;
    return bytes;
}

void ZKByteReader::skip(qint64 count) {
    if (take(count))
        iPosition += count;
}

QByteArray ZKByteReader::readFile(const QString& path, qint64 offset, qint64 count) {
    QFile file(path);
    if (offset < 0 || count < 0 || !file.open(QIODevice::ReadOnly) || !file.seek(offset))
        return {};
    return file.read(qMin(count, qMax<qint64>(0, file.size() - offset)));
}
