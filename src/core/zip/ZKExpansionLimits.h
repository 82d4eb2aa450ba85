#pragma once
#include "zip/records/ZKCDHeader.h"
#include <QList>
#include <QString>

// How much an archive from outside may expand to. Entries never expand beyond the size their
// header records (expanding stops there), so checking the recorded sizes first bounds the memory
// and disk an archive can take, whatever its bytes hold.
struct ZKExpansionLimits {
    quint64 maxTotalSize = 0;       // all entries together
    qsizetype maxEntries = 0;
    double maxRatio = 0;            // expanded : compressed, for entries above ratioFloor
    quint64 ratioFloor = 1 << 20;

    // Empty when the directory stays within the limits, else why not, for the user.
    QString check(const QList<ZKCDHeader>& directory) const;
};
