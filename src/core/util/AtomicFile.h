#pragma once
#include <QByteArray>
#include <QString>

// Whole-file writes: the bytes go to a file beside the target that replaces it only when every
// byte was written, flushed and closed; a failed write (a full disk, a size limit) leaves the
// old file as it was and answers false.
namespace AtomicFile {
bool write(const QString& path, const QByteArray& bytes);
// The same whole-file replace without waiting for the disk, for scratch files nobody keeps past a
// crash (an import's pages in its work folder): the flush costs a disk round trip a file.
bool writeScratch(const QString& path, const QByteArray& bytes);
}
