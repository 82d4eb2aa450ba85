// Makes the binary files of the shipped template library from its text data:
// each template's book.swf and icon.png, each theme's shot.jpg preview, and the pictures that
// themes name through "STYLE_RESOURCE:". Usage: template-art <AppFiles folder>
#include "pdf2swf/SwfMovieWriter.h"

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

// book.swf: one frame, a background colour and the page as a filled rectangle.
QByteArray bookSWF(const QColor& background, const QColor& page) {
    const QByteArray tags = SwfMovieWriter::tag(SwfMovieWriter::FileAttributes, QByteArray(4, '\0')) +
                            SwfMovieWriter::backgroundColor(background) +
                            SwfMovieWriter::tag(SwfMovieWriter::DefineShape,
                                                SwfMovieWriter::solidRectangleShape(1, QRect(100, 50, 1000, 700), page)) +
                            SwfMovieWriter::tag(SwfMovieWriter::PlaceObject2, SwfMovieWriter::placeObject(1, 1)) +
                            SwfMovieWriter::tag(SwfMovieWriter::ShowFrame, {}) + SwfMovieWriter::tag(SwfMovieWriter::End, {});
    return SwfMovieWriter::movie(QSize(1200, 800), tags, 8, 24);
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
