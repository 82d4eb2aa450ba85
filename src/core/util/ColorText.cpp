#include "util/ColorText.h"

namespace ColorText {

QColor colorFromHexRGB(const QString& text) {
    QStringView s = QStringView(text).trimmed();
    if (s.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) s = s.mid(2);
    // Read the leading hexadecimal digits, as a scanner would; no digits give black.
    qsizetype n = 0;
    while (n < s.size() && isxdigit(s[n].toLatin1())) ++n;
    bool ok = false;
    const quint32 value = n ? s.first(n).toString().toUInt(&ok, 16) : 0;
    const quint32 rgb = ok ? value : (n ? 0xffffffffu : 0u);
    QColor c;
    c.setRgbF(((rgb >> 16) & 0xff) / 255.0f, ((rgb >> 8) & 0xff) / 255.0f, (rgb & 0xff) / 255.0f, 1.0f);
    return c;
}

QString colorToHexRGB(const QColor& color) {
    if (!color.isValid()) return {};
    const QColor rgb = color.toRgb();
    auto byte = [](float component) { return static_cast<int>(component * 255.99998f); };
    return QStringLiteral("0x%1%2%3")
        .arg(byte(rgb.redF()), 2, 16, QLatin1Char('0'))
        .arg(byte(rgb.greenF()), 2, 16, QLatin1Char('0'))
        .arg(byte(rgb.blueF()), 2, 16, QLatin1Char('0'));
}

} // namespace ColorText
