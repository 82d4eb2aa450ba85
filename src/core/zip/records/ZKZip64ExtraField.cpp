#include "zip/records/ZKZip64ExtraField.h"
#include "zip/records/ZKByteReader.h"
#include "zip/records/ZKByteWriter.h"
#include "zip/ZKDefs.h"

namespace ZKZip64ExtraField {

QByteArray make(std::initializer_list<quint64> values) {
    QByteArray block;
    ZKByteWriter writer(block);
    writer.writeUInt16(ZKZip64ExtraFieldTag);
    writer.writeUInt16(quint16(values.size() * 8));
    for (quint64 v : values)
        writer.writeUInt64(v);
    return block;
}

void read(const QByteArray& extraField, const std::vector<quint64*>& fields) {
    ZKByteReader reader(extraField, 0);
    while (!fields.empty() && reader.remaining() >= 4) {
        const quint16 tag = reader.readUInt16();
        const quint16 size = reader.readUInt16();
        if (tag != ZKZip64ExtraFieldTag) {
            reader.skip(size);
            continue;
        }
        const QByteArray values = reader.readBytes(size);
        ZKByteReader block(values, 0);
        for (quint64* field : fields)
            if (block.remaining() >= 8)
                *field = block.readUInt64();
        return;
    }
}

}  // namespace ZKZip64ExtraField
