#include "pages/PageRangeCheck.h"

#include <QRegularExpression>
#include <QStringList>

bool PageRangeCheck::check(const QString& text, int pageCount) {
    iRange = text;
    iRange.remove(QLatin1Char(' '));
    iErrorString.clear();
    if (iRange.compare(QLatin1String("ALL"), Qt::CaseInsensitive) == 0) {
        iRange = QStringLiteral("ALL");
        return true;
    }
    static const QRegularExpression part(QStringLiteral("^(\\d+)(?:-(\\d+))?$"));
    const QStringList parts = iRange.split(QLatin1Char(','));
    for (const QString& piece : parts) {
        const auto match = part.match(piece);
        if (!match.hasMatch())
            return fail(QStringLiteral("bad page range \"%1\": use ALL or numbers and ranges like 1-3,5").arg(text));
        const int from = match.captured(1).toInt();
        const int to = match.captured(2).isEmpty() ? from : match.captured(2).toInt();
        if (from < 1 || to > pageCount || from > to)
            return fail(QStringLiteral("bad page range \"%1\": \"%2\" is not within pages 1 to %3").arg(text, piece).arg(pageCount));
    }
    return true;
}

bool PageRangeCheck::fail(const QString& reason) {
    iRange.clear();
    iErrorString = reason;
    return false;
}
