// Makes the binary files of the shipped template library from its text data:
// each template's book.swf and icon.png, each theme's shot.jpg preview, and the pictures that
// themes name through "STYLE_RESOURCE:". Usage: template-art <AppFiles folder>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLinearGradient>
#include <QMap>
#include <QPainter>
#include <QRadialGradient>
#include <cstdio>
#include <initializer_list>

namespace {

using Settings = QMap<QString, QString>;

Settings readSettings(const QString& path) {
    Settings settings;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return settings;
    for (QString line : QString::fromUtf8(file.readAll()).split('\n')) {
        line.remove('\r');
        const int equals = line.indexOf('=');
        if (equals > 0)
            settings[line.left(equals)] = line.mid(equals + 1);
    }
    return settings;
}

QColor colorOf(const Settings& s, const QString& key) {
    bool ok = false;
    const uint rgb = s.value(key).mid(2).toUInt(&ok, 16);
    return ok ? QColor::fromRgb(rgb) : QColor(Qt::gray);
}

// ---- SWF: one frame, a background colour and a filled rectangle ----

class BitWriter {
public:
    void put(quint32 value, int bits) {
        for (int i = bits - 1; i >= 0; --i) {
            iCurrent = quint8((iCurrent << 1) | ((value >> i) & 1));
            if (++iCount == 8)
                flush();
        }
    }
    void putSigned(qint32 value, int bits) { put(quint32(value) & ((1u << bits) - 1), bits); }
    QByteArray bytes() {
        if (iCount)
            put(0, 8 - iCount);
        return iBytes;
    }

private:
    void flush() { iBytes.append(char(iCurrent)); iCurrent = 0; iCount = 0; }
    QByteArray iBytes;
    quint8 iCurrent = 0;
    int iCount = 0;
};

int bitsFor(qint32 value) {
    int bits = 1;
    while ((value >> (bits - 1)) != 0 && (value >> (bits - 1)) != -1)
        ++bits;
    return bits; // includes the sign bit
}

QByteArray rect(qint32 xMin, qint32 xMax, qint32 yMin, qint32 yMax) {
    const int bits = std::max({bitsFor(xMin), bitsFor(xMax), bitsFor(yMin), bitsFor(yMax)});
    BitWriter w;
    w.put(bits, 5);
    for (qint32 v : {xMin, xMax, yMin, yMax})
        w.putSigned(v, bits);
    return w.bytes();
}

QByteArray bytes(std::initializer_list<int> values) {
    QByteArray out;
    for (int v : values)
        out.append(char(v & 0xff));
    return out;
}

QByteArray u16(int v) { return bytes({v, v >> 8}); }
QByteArray u32(quint32 v) { return u16(int(v & 0xffff)) + u16(int(v >> 16)); }

QByteArray tag(int code, const QByteArray& body) {
    if (body.size() < 63)
        return u16((code << 6) | int(body.size())) + body;
    return u16((code << 6) | 63) + u32(quint32(body.size())) + body;
}

QByteArray rgb(const QColor& c) { return bytes({c.red(), c.green(), c.blue()}); }

QByteArray rectangleShape(qint32 x, qint32 y, qint32 w, qint32 h, const QColor& fill) {
    QByteArray body = u16(1) + rect(x, x + w, y, y + h);
    body += bytes({1, 0}) + rgb(fill); // one solid fill style
    body += char(0);                         // no line styles
    BitWriter s;
    s.put(1, 4); // fill index bits
    s.put(0, 4); // line index bits
    const int moveBits = std::max(bitsFor(x), bitsFor(y));
    s.put(0, 1); s.put(0, 1); s.put(0, 1); s.put(0, 1); s.put(1, 1); s.put(1, 1); // moveTo + fill0
    s.put(moveBits, 5); s.putSigned(x, moveBits); s.putSigned(y, moveBits);
    s.put(1, 1); // fill style 0 = 1
    const int lineBits = std::max(bitsFor(w), bitsFor(h));
    auto edge = [&](bool vertical, qint32 delta) {
        s.put(1, 1); s.put(1, 1); s.put(lineBits - 2, 4); s.put(0, 1); s.put(vertical ? 1 : 0, 1);
        s.putSigned(delta, lineBits);
    };
    edge(false, w); edge(true, h); edge(false, -w); edge(true, -h);
    s.put(0, 6); // end of shape
    return tag(2, body + s.bytes());
}

QByteArray bookSWF(const QColor& background, const QColor& page) {
    const qint32 width = 1200 * 20, height = 800 * 20;
    QByteArray tags = tag(69, u32(0));                      // FileAttributes
    tags += tag(9, rgb(background));                         // SetBackgroundColor
    tags += rectangleShape(100 * 20, 50 * 20, 1000 * 20, 700 * 20, page);
    tags += tag(26, QByteArray(1, char(0x02)) + u16(1) + u16(1)); // PlaceObject2 character 1, depth 1
    tags += tag(1, {});                                      // ShowFrame
    tags += tag(0, {});                                      // End
    QByteArray movie = rect(0, width, 0, height) + u16(24 << 8) + u16(1) + tags;
    return QByteArray("FWS") + char(8) + u32(quint32(movie.size() + 8)) + movie;
}

// ---- pictures ----

// A miniature of the book: background, toolbar, two pages.
QImage preview(const Settings& s, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colorOf(s, "backgroundColor"));
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const int w = size.width(), h = size.height(), bar = h / 8;
    const bool top = s.value("toolbarPosition") == "Top";
    const QRect barRect(0, top ? 0 : h - bar, w, bar);
    p.fillRect(barRect, colorOf(s, "toolbarColor"));
    p.setBrush(colorOf(s, "toolbarIconColor"));
    p.setPen(Qt::NoPen);
    for (int i = 0; i < 5; ++i)
        p.drawEllipse(QPointF(w / 2.0 + (i - 2) * bar * 1.2, barRect.center().y() + 0.5), bar / 4.0, bar / 4.0);
    const QRect book(w / 8, (top ? bar : 0) + h / 12, w * 3 / 4, h - bar - h / 6);
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRect(book.translated(3, 3));
    p.setBrush(Qt::white);
    p.drawRect(book);
    p.setPen(QPen(QColor(0, 0, 0, 40), 1));
    p.drawLine(book.center().x(), book.top(), book.center().x(), book.bottom());
    p.setPen(QPen(colorOf(s, "linkOverColor"), 2));
    for (int half = 0; half < 2; ++half)
        for (int line = 1; line <= 5; ++line) {
            const int x0 = book.left() + half * book.width() / 2 + book.width() / 16;
            const int y = book.top() + line * book.height() / 7;
            p.drawLine(x0, y, x0 + book.width() * 3 / 8 - (line % 2) * book.width() / 10, y);
        }
    return image;
}

QImage backgroundPicture(const Settings& s) {
    QImage image(640, 400, QImage::Format_RGB32);
    QPainter p(&image);
    QLinearGradient gradient(0, 0, 640, 400);
    gradient.setColorAt(0, colorOf(s, "backgroundColor").lighter(140));
    gradient.setColorAt(1, colorOf(s, "backgroundColor").darker(140));
    p.fillRect(image.rect(), gradient);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(255, 255, 255, 40), 3));
    for (int i = 0; i < 12; ++i)
        p.drawEllipse(QPointF(320, 520), 80.0 + i * 40, 80.0 + i * 40);
    return image;
}

QImage logoPicture(const Settings& s) {
    QImage image(96, 96, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colorOf(s, "toolbarColor"));
    p.drawEllipse(8, 8, 80, 80);
    p.setBrush(colorOf(s, "toolbarIconColor"));
    p.drawPolygon(QPolygonF({QPointF(48, 22), QPointF(72, 70), QPointF(24, 70)}));
    return image;
}

bool save(const QImage& image, const QString& path) {
    const bool ok = image.save(path, nullptr, 85);
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    const bool ok = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", qPrintable(path));
    return ok;
}

bool makeStyleResources(const QString& themeFolder, const Settings& theme, const Settings& merged) {
    bool ok = true;
    for (auto it = theme.begin(); it != theme.end(); ++it) {
        if (!it.value().startsWith("STYLE_RESOURCE:"))
            continue;
        const QString path = themeFolder + '/' + it.value().mid(15);
        ok &= save(path.endsWith(".png") ? logoPicture(merged) : backgroundPicture(merged), path);
    }
    return ok;
}

bool makeTemplate(const QString& appFiles, const QString& name) {
    const QString styles = appFiles + "/Styles/" + name;
    const Settings blank = readSettings(styles + "/Blank/tmplSetting.txt");
    const QString folder = appFiles + "/Templates/" + name;
    bool ok = writeFile(folder + "/book.swf", bookSWF(colorOf(blank, "backgroundColor"), Qt::white));
    ok &= save(preview(blank, QSize(96, 72)), folder + "/icon.png");
    for (const QString& theme : QDir(styles).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const Settings own = readSettings(styles + '/' + theme + "/tmplSetting.txt");
        Settings merged = blank;
        merged.insert(own);
        ok &= save(preview(merged, QSize(240, 180)), styles + '/' + theme + "/shot.jpg");
        ok &= makeStyleResources(styles + '/' + theme, own, merged);
    }
    return ok;
}

}

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: template-art <AppFiles folder>\n");
        return 2;
    }
    const QString appFiles = QString::fromLocal8Bit(argv[1]);
    bool ok = true;
    for (const QString& name : QDir(appFiles + "/Templates").entryList(QDir::Dirs | QDir::NoDotAndDotDot))
        ok &= makeTemplate(appFiles, name);
    return ok ? 0 : 1;
}
