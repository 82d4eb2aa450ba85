#include "zip/ZKAppleDouble.h"
#include "zip/ZKDefs.h"
#include "zip/ZKSafePath.h"
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <sys/xattr.h>

namespace ZKAppleDouble {

namespace {
constexpr quint32 kMagic = 0x00051607;
constexpr int kHeaderLength = 26;  // magic, version, 16 filler bytes, entry count
constexpr int kEntryLength = 12;   // identifier, offset, length
// Resource forks stay far below this; anything larger is no AppleDouble file worth reading.
constexpr qint64 kMaximumFileSize = 64 << 20;

quint32 bigEndian32(const QByteArray& bytes, qint64 at) {
    return qFromBigEndian<quint32>(bytes.constData() + at);
}

void setAttribute(const QString& path, const char* name, const QByteArray& value) {
    if (value.isEmpty())
        return;
    // Failures (no support on this file system, no room) leave the file as it is.
    lsetxattr(QFile::encodeName(path).constData(), name, value.constData(), size_t(value.size()), 0);
}
}  // namespace

QMap<quint32, QByteArray> entries(const QByteArray& appleDouble) {
    QMap<quint32, QByteArray> found;
    if (appleDouble.size() < kHeaderLength || bigEndian32(appleDouble, 0) != kMagic)
        return found;
    const int count = qFromBigEndian<quint16>(appleDouble.constData() + 24);
    if (qint64(kHeaderLength) + qint64(count) * kEntryLength > appleDouble.size())
        return {};
    for (int i = 0; i < count; ++i) {
        const qint64 at = kHeaderLength + qint64(i) * kEntryLength;
        const quint64 offset = bigEndian32(appleDouble, at + 4);
        const quint64 length = bigEndian32(appleDouble, at + 8);
        if (offset + length > quint64(appleDouble.size()))
            return {};
        found.insert(bigEndian32(appleDouble, at), appleDouble.mid(qsizetype(offset), qsizetype(length)));
    }
    return found;
}

QString describedPath(const QString& directory, const QString& appleDoublePath) {
    const QString relative = appleDoublePath.mid(directory.size() + 1);
    QStringList parts = relative.split(QLatin1Char('/'));
    if (!parts.contains(ZKMacOSXDirectory) || !parts.last().startsWith(ZKDotUnderscore))
        return {};
    parts.removeOne(ZKMacOSXDirectory);
    parts.last().remove(0, ZKDotUnderscore.size());
    if (parts.last().isEmpty())
        return {};
    return directory + QLatin1Char('/') + parts.join(QLatin1Char('/'));
}

void zk_combineAppleDoubleInDirectory(const QString& directory) {
    const ZKSafePath safe(directory);
    QDirIterator files(safe.root(), QDir::Files | QDir::Hidden | QDir::NoSymLinks, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString appleDoublePath = files.next();
        const QString described = describedPath(safe.root(), appleDoublePath);
        if (described.isEmpty())
            continue;
        const auto target = safe.targetFor(described.mid(safe.root().size() + 1));
        if (!target || !QFileInfo::exists(*target) || QFileInfo(*target).isSymLink())
            continue;
        QFile file(appleDoublePath);
        if (file.size() > kMaximumFileSize || !file.open(QIODevice::ReadOnly))
            continue;
        const auto found = entries(file.readAll());
        setAttribute(*target, ZKFinderInfoAttributeName, found.value(ZKAppleDoubleFinderInfoEntry));
        setAttribute(*target, ZKResourceForkAttributeName, found.value(ZKAppleDoubleResourceForkEntry));
    }
}

}  // namespace ZKAppleDouble
