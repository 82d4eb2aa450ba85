#include "util/FolderBounds.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace FolderBounds {

std::optional<qint64> regularFileSize(const QString& path) {
    struct stat info {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    return qint64(info.st_size);
}

bool isRegularFileInside(const QString& path, const QString& folder) {
    const QString file = QFileInfo(path).canonicalFilePath();
    const QString base = QFileInfo(folder).canonicalFilePath();
    return !file.isEmpty() && !base.isEmpty() && file.startsWith(base + QLatin1Char('/')) && regularFileSize(file).has_value();
}

}
