#include "zip/ZKFileAttributes.h"
#include <QFile>
#include <sys/stat.h>

std::optional<ZKFileAttributes> ZKFileAttributes::ofPath(const QString& path) {
    struct stat status;
    if (lstat(QFile::encodeName(path).constData(), &status) != 0)
        return std::nullopt;
    ZKFileAttributes attributes;
    attributes.fileType = S_ISLNK(status.st_mode) ? FileType::SymbolicLink
        : S_ISDIR(status.st_mode) ? FileType::Directory : FileType::Regular;
    attributes.modificationDate = QDateTime::fromSecsSinceEpoch(status.st_mtim.tv_sec);
    attributes.creationDate = attributes.modificationDate;
    attributes.posixPermissions = quint16(status.st_mode & 0777);
    return attributes;
}

quint32 ZKFileAttributes::externalFileAttributes() const {
    const quint32 marker = fileType == FileType::SymbolicLink ? 0xA0004000u
        : fileType == FileType::Directory ? 0x40004000u : 0x80004000u;
    return (quint32(posixPermissions & 0777) << 16) | marker;
}
