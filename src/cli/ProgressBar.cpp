#include "cli/ProgressBar.h"

#include <QtGlobal>

QString ProgressBar::render(const QString& label, qsizetype done, qsizetype total, int width) {
    const qsizetype clamped = total > 0 ? qBound<qsizetype>(0, done, total) : 0;
    const int filled = total > 0 ? int(clamped * width / total) : 0;
    return QStringLiteral("[%1%2] %3/%4 %5")
        .arg(QString(filled, QLatin1Char('#')), QString(width - filled, QLatin1Char('.')))
        .arg(clamped)
        .arg(total)
        .arg(label);
}

void ProgressBar::update(const QString& label, qsizetype done, qsizetype total) {
    if (!iEnabled)
        return;
    QMutexLocker lock(&iLock);
    iStream << '\r' << render(label, done, total).leftJustified(70) << Qt::flush;
    iDrawn = true;
}

void ProgressBar::finish() {
    QMutexLocker lock(&iLock);
    if (iDrawn)
        iStream << '\n' << Qt::flush;
    iDrawn = false;
}
