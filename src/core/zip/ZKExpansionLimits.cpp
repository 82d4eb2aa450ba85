#include "zip/ZKExpansionLimits.h"

namespace {
QString megabytes(quint64 bytes) { return QString::number(double(bytes) / (1 << 20), 'f', 0) + QStringLiteral(" MB"); }
}

QString ZKExpansionLimits::check(const QList<ZKCDHeader>& directory) const {
    if (directory.size() > maxEntries)
        return QStringLiteral("it holds %1 entries, more than the %2 allowed").arg(directory.size()).arg(maxEntries);
    quint64 total = 0;
    for (const ZKCDHeader& header : directory) {
        const quint64 size = header.uncompressedSize();
        if (size > maxTotalSize - total)
            return QStringLiteral("it would expand to more than %1").arg(megabytes(maxTotalSize));
        total += size;
        if (size > ratioFloor && double(size) > maxRatio * double(qMax<quint64>(header.compressedSize(), 1)))
            return QStringLiteral("its entry %1 would expand %2 times, more than any real content does")
                .arg(header.filename()).arg(quint64(double(size) / double(qMax<quint64>(header.compressedSize(), 1))));
    }
    return {};
}
