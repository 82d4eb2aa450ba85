#include "pages/SwfPageImage.h"
#include "pages/ImageUtility.h"
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {
// Page movies are a few megabytes; anything far beyond is not one of ours and is not expanded.
constexpr qint64 kMaxMovieBytes = 64 * 1024 * 1024;
constexpr int kDefineBitsJPEG2 = 21;
constexpr int kDefineBitsJPEG3 = 35;

// The uncompressed movie from its header on ("FWS" form); empty when it is no movie.
QByteArray plainMovie(const QByteArray& movie) {
    if (movie.size() < 8 || movie.mid(1, 2) != "WS")
        return {};
    const quint32 length = qFromLittleEndian<quint32>(movie.constData() + 4);
    if (movie[0] == 'F')
        return movie;
    if (movie[0] != 'C' || length <= 8 || length > kMaxMovieBytes)
        return {};
    // The body is a zlib stream; qUncompress wants the expanded size in front, big-endian.
    QByteArray stream(4, '\0');
    qToBigEndian<quint32>(length - 8, stream.data());
    const QByteArray body = qUncompress(stream + movie.mid(8));
    return body.isEmpty() ? QByteArray() : movie.left(8) + body;
}

// A JPEG stream, without the extra end-and-start markers some writers put in front.
QByteArray cleanJpeg(QByteArray data) {
    if (data.startsWith("\xFF\xD9\xFF\xD8"))
        data.remove(0, 4);
    return data.startsWith("\xFF\xD8") ? data : QByteArray();
}
}

QByteArray SwfPageImage::jpegFromMovie(const QByteArray& bytes) {
    const QByteArray movie = plainMovie(bytes);
    if (movie.size() < 9)
        return {};
    const int rectBits = quint8(movie[8]) >> 3;
    qsizetype pos = 8 + (5 + 4 * rectBits + 7) / 8 + 4;   // frame size, frame rate, frame count
    while (pos + 2 <= movie.size()) {
        const quint16 header = qFromLittleEndian<quint16>(movie.constData() + pos);
        qint64 length = header & 0x3F;
        pos += 2;
        if (length == 0x3F) {
            if (pos + 4 > movie.size())
                return {};
            length = qFromLittleEndian<quint32>(movie.constData() + pos);
            pos += 4;
        }
        const int code = header >> 6;
        if (code == 0 || length > movie.size() - pos)
            return {};
        if (code == kDefineBitsJPEG2 && length > 2)
            return cleanJpeg(movie.mid(pos + 2, length - 2));
        if (code == kDefineBitsJPEG3 && length > 6) {
            const quint32 jpegLength = qFromLittleEndian<quint32>(movie.constData() + pos + 2);
            return jpegLength <= length - 6 ? cleanJpeg(movie.mid(pos + 6, jpegLength)) : QByteArray();
        }
        pos += length;
    }
    return {};
}

SwfPageImage::Result SwfPageImage::writeJpegOf(const QString& moviePath, const QString& targetPath) {
    const QFileInfo movieInfo(moviePath), target(targetPath);
    if (target.isFile() && target.size() > 0 && target.lastModified() == movieInfo.lastModified())
        return Written;
    QFile file(moviePath);
    if (!movieInfo.isFile() || movieInfo.size() > kMaxMovieBytes || !file.open(QIODevice::ReadOnly))
        return NoImage;
    const QByteArray jpeg = jpegFromMovie(file.readAll());
    if (jpeg.isEmpty())
        return NoImage;
    if (!ImageUtility::writeFileAtomically(targetPath, jpeg))
        return NotWritten;
    QFile written(targetPath);
    written.open(QIODevice::ReadWrite);
    written.setFileTime(movieInfo.lastModified(), QFileDevice::FileModificationTime);
    return Written;
}
