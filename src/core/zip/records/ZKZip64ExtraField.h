#pragma once
#include <QByteArray>
#include <QtGlobal>
#include <initializer_list>
#include <vector>

// The zip64 extended information block (tag 0x0001) of an extra field.
namespace ZKZip64ExtraField {
// A block holding the values in the given order.
QByteArray make(std::initializer_list<quint64> values);
// Reads the block's 64-bit values in order into the given fields, as far as the block holds
// values; fields without a value keep theirs. The caller names only the fields whose 32-bit
// form was saturated, as the format lists only those.
void read(const QByteArray& extraField, const std::vector<quint64*>& fields);
}
