#pragma once
// A reader for the parts of SWF our converter writes, independent of the writer's code.
#include <QByteArray>
#include <QList>
#include <QPoint>
#include <QRect>
#include <QtGlobal>
#include <stdexcept>

struct SwfTag {
    int code = 0;
    QByteArray body;
};

class SwfBits {
public:
    explicit SwfBits(const QByteArray& data, qsizetype start = 0) : iData(data), iPos(start * 8) {}
    quint32 ub(int n) {
        quint32 v = 0;
        for (int i = 0; i < n; ++i, ++iPos) {
            if (iPos / 8 >= iData.size())
                throw std::out_of_range("SWF bits past the end");
            v = (v << 1) | ((quint8(iData[iPos / 8]) >> (7 - iPos % 8)) & 1);
        }
        return v;
    }
    qint32 sb(int n) {
        const quint32 v = ub(n);
        return n && (v >> (n - 1)) & 1 ? qint32(v | (~0u << n)) : qint32(v);
    }
    void align() { iPos = (iPos + 7) / 8 * 8; }
    quint8 u8() { align(); return quint8(ub(8)); }
    quint16 u16() { const quint16 lo = u8(); return quint16(lo | (u8() << 8)); }
    quint32 u32() { const quint32 lo = u16(); return lo | (quint32(u16()) << 16); }
    QRect rect() {
        const int n = int(ub(5));
        const int x0 = sb(n), x1 = sb(n), y0 = sb(n), y1 = sb(n);
        align();
        return QRect(QPoint(x0, y0), QPoint(x1 - 1, y1 - 1));
    }
    qsizetype bytePos() const { return (iPos + 7) / 8; }

private:
    const QByteArray& iData;
    qsizetype iPos;
};

struct SwfMovie {
    QByteArray signature;
    int version = 0;
    quint32 fileLength = 0;
    QRect frame;          // twips
    int frameCount = 0;
    QList<SwfTag> tags;   // up to and including End
    bool endsCleanly = false;

    static SwfMovie parse(const QByteArray& data) {
        SwfMovie m;
        m.signature = data.left(3);
        SwfBits bits(data, 3);
        m.version = bits.u8();
        m.fileLength = bits.u32();
        m.frame = bits.rect();
        bits.u16();                              // frame rate
        m.frameCount = bits.u16();
        qsizetype pos = bits.bytePos();
        while (pos + 2 <= data.size()) {
            SwfBits h(data, pos);
            const quint16 header = h.u16();
            qsizetype length = header & 0x3F;
            pos += 2;
            if (length == 0x3F) {
                length = SwfBits(data, pos).u32();
                pos += 4;
            }
            if (pos + length > data.size())
                break;
            m.tags.append({header >> 6, data.mid(pos, length)});
            pos += length;
            if ((header >> 6) == 0) {
                m.endsCleanly = pos == data.size();
                break;
            }
        }
        return m;
    }
    const SwfTag* find(int code) const {
        for (const SwfTag& t : tags)
            if (t.code == code)
                return &t;
        return nullptr;
    }
};

// DefineShape with one clipped-bitmap fill: bounds, bitmap id, and the outline's corner points.
struct SwfBitmapShape {
    int shapeId = 0;
    QRect bounds;
    int fillType = 0;
    int bitmapId = 0;
    double scaleX = 0, scaleY = 0;
    QList<QPoint> points;     // pen positions after the move and each edge
    bool fillSet = false;

    static SwfBitmapShape parse(const QByteArray& body) {
        SwfBitmapShape s;
        SwfBits b(body);
        s.shapeId = b.u16();
        s.bounds = b.rect();
        const int fills = b.u8();
        for (int i = 0; i < fills; ++i) {
            s.fillType = b.u8();
            s.bitmapId = b.u16();
            if (b.ub(1)) {
                const int n = int(b.ub(5));
                s.scaleX = b.sb(n) / 65536.0;
                s.scaleY = b.sb(n) / 65536.0;
            }
            if (b.ub(1)) {
                const int n = int(b.ub(5));
                b.sb(n);
                b.sb(n);
            }
            const int t = int(b.ub(5));
            b.sb(t);
            b.sb(t);
            b.align();
        }
        b.u8();                                  // line styles
        const int fillBits = int(b.ub(4));
        const int lineBits = int(b.ub(4));
        QPoint pen;
        for (;;) {
            if (b.ub(1)) {                       // edge
                if (!b.ub(1))
                    throw std::runtime_error("curved edge");
                const int n = int(b.ub(4)) + 2;
                if (b.ub(1)) {
                    pen += QPoint(b.sb(n), b.sb(n));
                } else if (b.ub(1)) {
                    pen.ry() += b.sb(n);
                } else {
                    pen.rx() += b.sb(n);
                }
                s.points.append(pen);
                continue;
            }
            const quint32 flags = b.ub(5);
            if (!flags)
                break;
            if (flags & 1) {
                const int n = int(b.ub(5));
                const int x = b.sb(n);
                pen = QPoint(x, b.sb(n));
                s.points.append(pen);
            }
            if (flags & 2)
                s.fillSet = b.ub(fillBits) != 0 || s.fillSet;
            if (flags & 4)
                s.fillSet = b.ub(fillBits) != 0 || s.fillSet;
            if (flags & 8)
                b.ub(lineBits);
        }
        return s;
    }
};
