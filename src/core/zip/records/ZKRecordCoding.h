#pragma once
#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QtGlobal>

// Conversions shared by the records.
namespace ZKRecordCoding {
// DOS date in the high 16 bits, DOS time in the low 16 bits, local time; seconds round down to
// even. Dates outside 1980..2107 are clamped to that range.
quint32 dosDateFromDateTime(const QDateTime& date);
// Invalid when the fields do not make a date.
QDateTime dateTimeFromDosDate(quint32 dosDate);
// Precomposed (NFC) UTF-8.
QByteArray encodeText(const QString& text);
// UTF-8; when the bytes are no valid UTF-8, every byte of 0x80 or above becomes "?".
QString decodeText(const QByteArray& bytes);
bool isAscii(const QString& text);
// Whether the name's first component is "__MACOSX".
bool isResourceForkName(const QString& name);
}
