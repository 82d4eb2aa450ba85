#include "zip/ZKFileManagerAdditions.h"
#include "zip/ZKDefs.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace ZKFileManagerAdditions {

std::optional<QString> linkTarget(const QString& path) {
    QByteArray buffer(4096, Qt::Uninitialized);
    const ssize_t length = readlink(QFile::encodeName(path).constData(), buffer.data(), size_t(buffer.size()));
    if (length < 0 || length >= buffer.size())
        return std::nullopt;
    return QFile::decodeName(buffer.left(length));
}

bool itemExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() || info.isSymLink();
}

QString uniquePath(const QString& path) {
    if (!itemExists(path))
        return path;
    const QFileInfo info(path);
    const bool hasExtension = !info.suffix().isEmpty() && !info.completeBaseName().isEmpty();
    const QString base = hasExtension ? info.completeBaseName() : info.fileName();
    const QString extension = hasExtension ? QLatin1Char('.') + info.suffix() : QString();
    for (uint n = 2;; ++n) {
        const QString candidate = info.dir().filePath(QStringLiteral("%1 %2%3").arg(base).arg(n).arg(extension));
        if (!itemExists(candidate))
            return candidate;
    }
}

void cleanUpExpansionDirectory(const QString& directory) {
    QDir folder(directory);
    const QString parent = QFileInfo(folder.absolutePath()).path();
    const auto items = folder.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : items) {
        if (name != ZKMacOSXDirectory)
            QDir().rename(folder.filePath(name), uniquePath(parent + QLatin1Char('/') + name));
    }
    folder.removeRecursively();
}

}  // namespace ZKFileManagerAdditions
