#pragma once
#include <QDateTime>
#include <QString>
#include <QtGlobal>
#include <optional>

// What an archive keeps about a file besides its bytes: its type, dates and permission bits.
struct ZKFileAttributes {
    enum class FileType { Regular, Directory, SymbolicLink };

    FileType fileType = FileType::Regular;
    QDateTime modificationDate;
    QDateTime creationDate;
    quint16 posixPermissions = 0644;

    // The attributes of the item at the path, links not followed; none when nothing is there.
    static std::optional<ZKFileAttributes> ofPath(const QString& path);

    // Zip external attributes: the permission bits shifted left by 16 with the file type marker.
    quint32 externalFileAttributes() const;
};
