// Draws the demonstration book's pages (1080 x 1440 JPEG) into the folder given as argument.
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

const QColor kInk(0x2b, 0x33, 0x3d);
const QList<QColor> kAccents = {QColor(0x2e, 0x8b, 0x57), QColor(0xd9, 0x6c, 0x1e), QColor(0x3a, 0x6e, 0xb5),
                                QColor(0xb5, 0x3a, 0x6e), QColor(0x6e, 0x5a, 0xb5), QColor(0x1e, 0x9c, 0xa8)};

void drawLeaf(QPainter& p, QPointF centre, double size, double angle, const QColor& colour) {
    p.save();
    p.translate(centre);
    p.rotate(angle);
    QPainterPath leaf;
    leaf.moveTo(0, -size);
    leaf.cubicTo(size * 0.7, -size * 0.4, size * 0.7, size * 0.4, 0, size);
    leaf.cubicTo(-size * 0.7, size * 0.4, -size * 0.7, -size * 0.4, 0, -size);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(leaf);
    p.setPen(QPen(colour.lighter(150), size / 25));
    p.drawLine(QPointF(0, -size * 0.9), QPointF(0, size * 0.9));
    p.restore();
}

void drawTextLines(QPainter& p, QRectF area, int lines, int seed) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xc8, 0xcc, 0xd2));
    for (int i = 0; i < lines; ++i) {
        const double width = area.width() * (0.65 + 0.35 * (((seed * 7 + i * 13) % 10) / 10.0));
        p.drawRoundedRect(QRectF(area.left(), area.top() + i * 38, i == lines - 1 ? width * 0.5 : width, 16), 8, 8);
    }
}

QImage drawPage(int number, int count) {
    QImage page(1080, 1440, QImage::Format_RGB32);
    page.fill(QColor(0xfb, 0xfa, 0xf6));
    QPainter p(&page);
    p.setRenderHint(QPainter::Antialiasing);
    const QColor accent = kAccents[(number - 1) % kAccents.size()];
    if (number == 1 || number == count) {
        QLinearGradient cover(0, 0, 1080, 1440);
        cover.setColorAt(0, accent.darker(130));
        cover.setColorAt(1, accent.lighter(120));
        p.fillRect(page.rect(), cover);
        for (int i = 0; i < 9; ++i)
            drawLeaf(p, QPointF(180 + (i * 97) % 720, 260 + (i * 151) % 900), 70 + (i % 3) * 30, i * 40, accent.lighter(140 + i * 5));
        QFont title(QStringLiteral("DejaVu Sans"), 72, QFont::Bold);
        p.setFont(title);
        p.setPen(Qt::white);
        p.drawText(QRectF(80, 1080, 920, 140), Qt::AlignCenter, number == 1 ? QStringLiteral("Leaf Mill") : QStringLiteral("The End"));
        p.setFont(QFont(QStringLiteral("DejaVu Sans"), 28));
        p.drawText(QRectF(80, 1220, 920, 60), Qt::AlignCenter,
                   number == 1 ? QStringLiteral("A demonstration book") : QStringLiteral("Import a PDF to make your own"));
        return page;
    }
    p.fillRect(QRectF(0, 0, 1080, 24), accent);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 44, QFont::Bold));
    p.setPen(kInk);
    p.drawText(QRectF(90, 90, 900, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Chapter %1").arg(number - 1));
    QRectF picture(90, 220, 900, 560);
    p.fillRect(picture, accent.lighter(170));
    for (int i = 0; i < 5; ++i)
        drawLeaf(p, QPointF(picture.left() + 150 + i * 160, picture.center().y() + ((i % 2) ? 60 : -60)), 110, i * 30 - 60, accent);
    drawTextLines(p, QRectF(90, 840, 900, 420), 11, number);
    p.setFont(QFont(QStringLiteral("DejaVu Sans"), 24));
    p.setPen(kInk.lighter(160));
    p.drawText(QRectF(0, 1350, 1080, 50), Qt::AlignCenter, QString::number(number));
    return page;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc < 2) return 2;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    if (!QDir().mkpath(folder)) return 1;
    const int count = 8;
    for (int number = 1; number <= count; ++number) {
        const QString path = QStringLiteral("%1/page%2.jpg").arg(folder).arg(number, 2, 10, QLatin1Char('0'));
        if (!drawPage(number, count).save(path, "JPG", 85)) return 1;
    }
    return 0;
}
