#include "zip/records/ZKRecordCoding.h"
#include "zip/ZKDefs.h"
#include <QStringDecoder>

namespace ZKRecordCoding {

quint32 dosDateFromDateTime(const QDateTime& date) {
    static const QDateTime earliest(QDate(1980, 1, 1), QTime(0, 0));
    static const QDateTime latest(QDate(2107, 12, 31), QTime(23, 59, 58));
    const QDateTime local = qBound(earliest, date.isValid() ? date.toLocalTime() : QDateTime::currentDateTime(), latest);
    const QDate day = local.date();
    const QTime time = local.time();
    const quint32 dosDate = quint32((day.year() - 1980) * 512 + day.month() * 32 + day.day());
    const quint32 dosTime = quint32(time.hour() * 2048 + time.minute() * 32 + time.second() / 2);
    return (dosDate << 16) | dosTime;
}

QDateTime dateTimeFromDosDate(quint32 dosDate) {
    const quint32 d = dosDate >> 16;
    const quint32 t = dosDate & 0xFFFF;
    const QDate date(int(d >> 9) + 1980, int((d >> 5) & 0x0F), int(d & 0x1F));
    const QTime time(int(t >> 11), int((t >> 5) & 0x3F), int(t & 0x1F) * 2);
    if (!date.isValid() || !time.isValid())
        return {};
    return QDateTime(date, time);
}

QByteArray encodeText(const QString& text) {
    return text.normalized(QString::NormalizationForm_C).toUtf8();
}

QString decodeText(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    QByteArray ascii = bytes;
    for (char& c : ascii)
        if (quint8(c) >= 0x80)
            c = '?';
    return QString::fromLatin1(ascii);
}

bool isAscii(const QString& text) {
    for (QChar c : text)
        if (c.unicode() >= 0x80)
            return false;
    return true;
}

bool isResourceForkName(const QString& name) {
    return name.section(QLatin1Char('/'), 0, 0) == ZKMacOSXDirectory;
}

}  // namespace ZKRecordCoding
