#include "util/ScriptText.h"

#include <QRegularExpression>
#include <cmath>

namespace ScriptText {

QString escaped(const QString& text) {
    QString result;
    result.reserve(text.size() + 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case '\\': result += QLatin1String("\\\\"); break;
        case '"': result += QLatin1String("\\\""); break;
        case '\'': result += QLatin1String("\\u0027"); break;
        case '\n': result += QLatin1String("\\n"); break;
        case '\r': result += QLatin1String("\\r"); break;
        case '\t': result += QLatin1String("\\t"); break;
        case 0x2028: result += QLatin1String("\\u2028"); break;
        case 0x2029: result += QLatin1String("\\u2029"); break;
        case '<':
            // "</script" would end the element, "<!--" would change how the rest is read.
            if (QStringView(text).mid(i).startsWith(u"</"))
                result += QLatin1String("<\\/"), ++i;
            else if (QStringView(text).mid(i).startsWith(u"<!--"))
                result += QLatin1String("\\u003C"); // keeps "!--" after it
            else
                result += c;
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7f)
                result += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
            else
                result += c;
        }
    }
    return result;
}

QString literal(const QString& text) { return QLatin1Char('"') + escaped(text) + QLatin1Char('"'); }

QString key(const QString& name) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z_$][A-Za-z0-9_$]*$"));
    return plain.match(name).hasMatch() ? name : literal(name);
}

QString number(const QString& text, double fallback) {
    bool ok = false;
    const double value = QString(text).replace(QLatin1Char(','), QLatin1Char('.')).trimmed().toDouble(&ok);
    return QString::number(ok && std::isfinite(value) ? value : fallback, 'g', 15);
}

QString html(const QString& text) { return text.toHtmlEscaped(); }

}
