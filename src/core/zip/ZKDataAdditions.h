#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <limits>
#include <optional>

// Byte-buffer operations of the zip code, all on raw deflate streams (no zlib header).

// Deflate at level 9 with window bits -15; none when zlib fails.
std::optional<QByteArray> zk_deflate(const QByteArray& data);
// Inflate a complete raw stream; none unless the stream ends properly and its output fits in
// maxSize bytes (so a lying or hostile stream cannot make the buffer grow without bound).
std::optional<QByteArray> zk_inflate(const QByteArray& data,
                                     qint64 maxSize = std::numeric_limits<qint64>::max());
quint32 zk_crc32(const QByteArray& data);
quint32 zk_crc32(const QByteArray& data, quint32 runningCrc);
