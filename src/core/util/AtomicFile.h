#pragma once
#include <QByteArray>
#include <QString>

// Whole-file writes: the bytes go to a file beside the target that replaces it only when every
// byte was written, flushed and closed; a failed write (a full disk, a size limit) leaves the
// old file as it was and answers false.
namespace AtomicFile {
bool write(const QString& path, const QByteArray& bytes);
}
