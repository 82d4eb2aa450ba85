#include "pdf2swf/SwfMovieWriter.h"
#include <QtEndian>
#include <algorithm>
#include <cstdlib>

namespace {
// SWF bit fields: most significant bit first, padded to whole bytes when a record ends.
class BitWriter {
public:
    void unsignedBits(quint32 value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            iCurrent = quint8((iCurrent << 1) | ((value >> i) & 1));
            if (++iUsed == 8)
                flush();
        }
    }
    void signedBits(qint32 value, int bits) { unsignedBits(quint32(value) & ((bits == 32) ? ~0u : ((1u << bits) - 1)), bits); }
    void align() {
        if (iUsed > 0) {
            iCurrent = quint8(iCurrent << (8 - iUsed));
            flush();
        }
    }
    void byte(quint8 b) { align(); iBytes.append(char(b)); }
    void u16(quint16 v) { byte(v & 0xFF); byte(v >> 8); }
    QByteArray bytes() { align(); return iBytes; }

    // Bits a signed field needs to hold every value.
    static int signedBitsFor(std::initializer_list<qint64> values) {
        int bits = 1;
        for (qint64 v : values) {
            qint64 magnitude = v < 0 ? -v - 1 : v;
            int needed = 1;
            while (magnitude) { ++needed; magnitude >>= 1; }
            bits = std::max(bits, needed);
        }
        return bits;
    }

private:
    void flush() { iBytes.append(char(iCurrent)); iCurrent = 0; iUsed = 0; }
    QByteArray iBytes;
    quint8 iCurrent = 0;
    int iUsed = 0;
};

void writeRect(BitWriter& w, const QRect& twips) {
    const int right = twips.x() + twips.width(), bottom = twips.y() + twips.height();
    const int bits = BitWriter::signedBitsFor({twips.x(), right, twips.y(), bottom});
    w.unsignedBits(bits, 5);
    w.signedBits(twips.x(), bits);
    w.signedBits(right, bits);
    w.signedBits(twips.y(), bits);
    w.signedBits(bottom, bits);
    w.align();
}

QRect twipsOf(const QRect& pixels) {
    const int k = SwfMovieWriter::kTwipsPerPixel;
    return QRect(pixels.x() * k, pixels.y() * k, pixels.width() * k, pixels.height() * k);
}

// Straight edges hold at most 17 signed bits: long sides are drawn in pieces.
void writeEdge(BitWriter& w, int dx, int dy) {
    constexpr int kMaxDelta = 65535;
    while (dx || dy) {
        const int stepX = std::clamp(dx, -kMaxDelta, kMaxDelta);
        const int stepY = std::clamp(dy, -kMaxDelta, kMaxDelta);
        const int bits = std::max(2, BitWriter::signedBitsFor({stepX, stepY}));
        w.unsignedBits(1, 1);           // edge record
        w.unsignedBits(1, 1);           // straight
        w.unsignedBits(bits - 2, 4);
        if (stepX && stepY) {
            w.unsignedBits(1, 1);       // general line
            w.signedBits(stepX, bits);
            w.signedBits(stepY, bits);
        } else {
            w.unsignedBits(0, 1);
            w.unsignedBits(stepX ? 0 : 1, 1);   // vertical?
            w.signedBits(stepX ? stepX : stepY, bits);
        }
        dx -= stepX;
        dy -= stepY;
    }
}

// Line styles (none) and the outline of the rectangle, filled with fill style 1.
void writeOutline(BitWriter& w, const QRect& twips) {
    w.byte(0);                          // no line styles
    w.unsignedBits(1, 4);               // fill index bits
    w.unsignedBits(0, 4);               // line index bits
    w.unsignedBits(0, 1);               // style change: fill style 0, move to the corner
    w.unsignedBits(0b00011, 5);
    const int moveBits = BitWriter::signedBitsFor({twips.x(), twips.y()});
    w.unsignedBits(moveBits, 5);
    w.signedBits(twips.x(), moveBits);
    w.signedBits(twips.y(), moveBits);
    w.unsignedBits(1, 1);
    writeEdge(w, twips.width(), 0);
    writeEdge(w, 0, twips.height());
    writeEdge(w, -twips.width(), 0);
    writeEdge(w, 0, -twips.height());
    w.unsignedBits(0, 6);               // end of shape
}
}

QByteArray SwfMovieWriter::tag(int code, const QByteArray& body) {
    QByteArray out;
    const quint32 length = quint32(body.size());
    // Bitmap tags always get the long header: some players insist on it.
    if (length < 0x3F && code != DefineBitsJPEG2) {
        const quint16 header = quint16((code << 6) | length);
        return out.append(char(header & 0xFF)).append(char(header >> 8)) + body;
    }
    const quint16 header = quint16((code << 6) | 0x3F);
    out.append(char(header & 0xFF)).append(char(header >> 8));
    for (int i = 0; i < 4; ++i)
        out.append(char((length >> (8 * i)) & 0xFF));
    return out + body;
}

QByteArray SwfMovieWriter::bitmapRectangleShape(int shapeId, int bitmapId, const QSize& stagePixels) {
    const QRect twips = twipsOf(QRect(QPoint(0, 0), stagePixels));
    BitWriter w;
    w.u16(quint16(shapeId));
    writeRect(w, twips);
    w.byte(1);                          // one fill style: clipped bitmap, a pixel per 20 twips
    w.byte(0x41);
    w.u16(quint16(bitmapId));
    const qint32 scale = kTwipsPerPixel << 16;
    const int scaleBits = BitWriter::signedBitsFor({scale});
    w.unsignedBits(1, 1);
    w.unsignedBits(scaleBits, 5);
    w.signedBits(scale, scaleBits);
    w.signedBits(scale, scaleBits);
    w.unsignedBits(0, 1);               // no rotation
    w.unsignedBits(0, 5);               // no translation
    w.align();
    writeOutline(w, twips);
    return w.bytes();
}

QByteArray SwfMovieWriter::solidRectangleShape(int shapeId, const QRect& pixels, const QColor& fill) {
    const QRect twips = twipsOf(pixels);
    BitWriter w;
    w.u16(quint16(shapeId));
    writeRect(w, twips);
    w.byte(1);                          // one fill style: solid
    w.byte(0x00);
    for (int channel : {fill.red(), fill.green(), fill.blue()})
        w.byte(quint8(channel));
    writeOutline(w, twips);
    return w.bytes();
}

QByteArray SwfMovieWriter::backgroundColor(const QColor& colour) {
    const char rgb[] = {char(colour.red()), char(colour.green()), char(colour.blue())};
    return tag(SetBackgroundColor, QByteArray(rgb, 3));
}

QByteArray SwfMovieWriter::placeObject(int characterId, int depth) {
    BitWriter w;
    w.byte(0x06);                       // has matrix, has character
    w.u16(quint16(depth));
    w.u16(quint16(characterId));
    w.unsignedBits(0, 1);               // identity matrix
    w.unsignedBits(0, 1);
    w.unsignedBits(0, 5);
    return w.bytes();
}

QByteArray SwfMovieWriter::movie(const QSize& stagePixels, const QByteArray& tags, int version, int framesPerSecond) {
    BitWriter head;
    writeRect(head, twipsOf(QRect(QPoint(0, 0), stagePixels)));
    head.u16(quint16(framesPerSecond << 8));   // 8.8 fixed point
    head.u16(1);                               // one frame
    const QByteArray body = head.bytes() + tags;
    QByteArray movie = "FWS";
    movie.append(char(version));
    const quint32 length = quint32(8 + body.size());
    for (int i = 0; i < 4; ++i)
        movie.append(char((length >> (8 * i)) & 0xFF));
    return movie + body;
}

QByteArray SwfMovieWriter::bitmapPageMovie(const QSize& stagePixels, const QByteArray& jpeg, int version) {
    constexpr int kBitmapId = 1;
    constexpr int kShapeId = 2;
    QByteArray bitmap(2, '\0');
    qToLittleEndian<quint16>(kBitmapId, bitmap.data());
    const QByteArray tags = tag(FileAttributes, QByteArray(4, '\0')) + backgroundColor(Qt::white) +
                            tag(DefineBitsJPEG2, bitmap + jpeg) +
                            tag(DefineShape, bitmapRectangleShape(kShapeId, kBitmapId, stagePixels)) +
                            tag(PlaceObject2, placeObject(kShapeId, 1)) + tag(ShowFrame, {}) + tag(End, {});
    return movie(stagePixels, tags, version);
}
