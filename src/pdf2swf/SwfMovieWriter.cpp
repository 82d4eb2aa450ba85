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

void writeRect(BitWriter& w, int widthTwips, int heightTwips) {
    const int bits = BitWriter::signedBitsFor({widthTwips, heightTwips});
    w.unsignedBits(bits, 5);
    w.signedBits(0, bits);
    w.signedBits(widthTwips, bits);
    w.signedBits(0, bits);
    w.signedBits(heightTwips, bits);
    w.align();
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

QByteArray SwfMovieWriter::rectangleShape(int shapeId, int bitmapId, const QSize& stagePixels) {
    const int width = stagePixels.width() * kTwipsPerPixel;
    const int height = stagePixels.height() * kTwipsPerPixel;
    BitWriter w;
    w.u16(quint16(shapeId));
    writeRect(w, width, height);
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
    w.byte(0);                          // no line styles
    w.unsignedBits(1, 4);               // fill index bits
    w.unsignedBits(0, 4);               // line index bits
    w.unsignedBits(0, 1);               // style change: fill style 0, move to the origin
    w.unsignedBits(0b00011, 5);
    w.unsignedBits(1, 5);
    w.signedBits(0, 1);
    w.signedBits(0, 1);
    w.unsignedBits(1, 1);
    writeEdge(w, width, 0);
    writeEdge(w, 0, height);
    writeEdge(w, -width, 0);
    writeEdge(w, 0, -height);
    w.unsignedBits(0, 6);               // end of shape
    return w.bytes();
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

QByteArray SwfMovieWriter::bitmapPageMovie(const QSize& stagePixels, const QByteArray& jpeg, int version) {
    constexpr int kBitmapId = 1;
    constexpr int kShapeId = 2;
    BitWriter head;
    writeRect(head, stagePixels.width() * kTwipsPerPixel, stagePixels.height() * kTwipsPerPixel);
    head.u16(quint16(12 << 8));         // 12 frames per second, 8.8 fixed point
    head.u16(1);                        // one frame

    QByteArray body = head.bytes();
    body += tag(FileAttributes, QByteArray(4, '\0'));
    body += tag(SetBackgroundColor, QByteArray(3, '\xFF'));
    QByteArray bitmap(2, '\0');
    qToLittleEndian<quint16>(kBitmapId, bitmap.data());
    body += tag(DefineBitsJPEG2, bitmap + jpeg);
    body += tag(DefineShape, rectangleShape(kShapeId, kBitmapId, stagePixels));
    body += tag(PlaceObject2, placeObject(kShapeId, 1));
    body += tag(ShowFrame, {});
    body += tag(End, {});

    QByteArray movie = "FWS";
    movie.append(char(version));
    const quint32 length = quint32(8 + body.size());
    for (int i = 0; i < 4; ++i)
        movie.append(char((length >> (8 * i)) & 0xFF));
    return movie + body;
}
