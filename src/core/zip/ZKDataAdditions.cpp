#include "zip/ZKDataAdditions.h"
#include "zip/ZKZlibStream.h"
#include <zlib.h>

std::optional<QByteArray> zk_deflate(const QByteArray& data) {
    ZKZlibStream stream(ZKZlibStream::Mode::Deflate);
    QByteArray out;
    const auto append = [&out](const QByteArray& piece) { out.append(piece); return true; };
    if (!stream.write(data, append, true) || !stream.finished())
        return std::nullopt;
    return out;
}

std::optional<QByteArray> zk_inflate(const QByteArray& data, qint64 maxSize) {
    ZKZlibStream stream(ZKZlibStream::Mode::Inflate);
    QByteArray out;
    const auto append = [&out, maxSize](const QByteArray& piece) {
        if (piece.size() > maxSize - out.size())
            return false;
        out.append(piece);
        return true;
    };
    if (!stream.write(data, append) || !stream.finished())
        return std::nullopt;
    return out;
}

quint32 zk_crc32(const QByteArray& data) { return zk_crc32(data, 0); }

quint32 zk_crc32(const QByteArray& data, quint32 runningCrc) {
    return quint32(crc32_z(runningCrc, reinterpret_cast<const Bytef*>(data.constData()), size_t(data.size())));
}
