#include "zip/ZKFileArchive.h"
#include "zip/ZKAppleDouble.h"
#include "zip/ZKArchiveDelegate.h"
#include "zip/records/ZKByteReader.h"
#include "zip/ZKDataAdditions.h"
#include "zip/records/ZKRecordCoding.h"
#include "zip/ZKFileManagerAdditions.h"
#include "zip/records/ZKLFHeader.h"
#include "zip/ZKLog.h"
#include "zip/ZKSafePath.h"
#include "zip/ZKZlibStream.h"
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace {
constexpr quint16 kEncryptedFlag = 0x0001;
constexpr qint64 kMaximumLinkTargetLength = 4096;

// The entry's date and permissions; a link keeps its own date and never passes either on to
// its target.
void applyAttributes(const QString& path, const ZKCDHeader& header) {
    const QByteArray nativePath = QFile::encodeName(path);
    if (header.lastModDate().isValid()) {
        const timespec date{header.lastModDate().toSecsSinceEpoch(), 0};
        const timespec times[2] = {date, date};
        utimensat(AT_FDCWD, nativePath.constData(), times, AT_SYMLINK_NOFOLLOW);
    }
    if (!QFileInfo(path).isSymLink())
        chmod(nativePath.constData(), header.posixPermissions());
}

bool removeExistingItem(const QString& path) {
    const QFileInfo info(path);
    if (info.isSymLink() || info.isFile())
        return QFile::remove(path);
    return !info.exists();
}
}  // namespace

std::unique_ptr<ZKFileArchive> ZKFileArchive::archiveWithArchivePath(const QString& path) {
    std::unique_ptr<ZKFileArchive> archive(new ZKFileArchive);
    archive->iArchivePath = path;
    if (!ZKFileManagerAdditions::itemExists(path))
        return archive;
    bool usedZip64Records = false;
    if (!archive->readCentralDirectory(&usedZip64Records)) {
        ZKLog::error(QStringLiteral("No zip archive in %1"), path);
        return nullptr;
    }
    archive->iUseZip64Extensions = usedZip64Records
        || std::any_of(archive->iCentralDirectory.cbegin(), archive->iCentralDirectory.cend(),
                       [](const ZKCDHeader& h) { return h.useZip64Extensions(); });
    return archive;
}

QByteArray ZKFileArchive::readArchiveBytes(qint64 offset, qint64 count) const {
    return ZKByteReader::readFile(iArchivePath, offset, count);
}

qint64 ZKFileArchive::archiveSize() const { return QFileInfo(iArchivePath).size(); }

// ---- expanding

int ZKFileArchive::inflateToDirectory(const QString& directory, bool usingResourceFork) {
    notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidBeginUnzip(this); });
    QDir().mkpath(directory);
    int result = entriesAreSafe() ? ZKSucceeded : ZKFailed;
    for (qsizetype i = 0; result == ZKSucceeded && i < iCentralDirectory.size(); ++i)
        result = inflateFile(iCentralDirectory[i], directory);
    if (result == ZKSucceeded) {
        applyAttributesInDirectory(directory);
        if (usingResourceFork)
            ZKAppleDouble::zk_combineAppleDoubleInDirectory(directory);
    }
    ZKFileManagerAdditions::cleanUpExpansionDirectory(directory);
    if (result == ZKSucceeded)
        notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidEndUnzip(this); });
    else if (result == ZKFailed)
        notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidFail(this); });
    return result;
}

bool ZKFileArchive::entriesAreSafe() const {
    for (const ZKCDHeader& header : iCentralDirectory) {
        if (!ZKSafePath::isSafeEntryName(header.filename())) {
            ZKLog::error(QStringLiteral("Refused zip entry \"%1\": it would land outside the folder"), header.filename());
            return false;
        }
    }
    return true;
}

// Folders after files and deepest first, so that setting a folder's date is not undone by
// writing into it.
void ZKFileArchive::applyAttributesInDirectory(const QString& directory) const {
    const ZKSafePath safe(directory);
    for (const bool folders : {false, true}) {
        for (auto it = iCentralDirectory.crbegin(); it != iCentralDirectory.crend(); ++it) {
            if (it->isDirectory() != folders)
                continue;
            if (const auto target = safe.targetFor(it->filename()))
                applyAttributes(*target, *it);
        }
    }
}

int ZKFileArchive::inflateFile(const ZKCDHeader& header, const QString& directory) {
    notify([this, &header](ZKArchiveDelegate& d) { d.onZKArchiveWillUnzipPath(this, header.filename()); });
    QDir().mkpath(directory);
    const ZKSafePath safe(directory);
    const auto target = safe.targetFor(header.filename());
    if (!target) {
        ZKLog::error(QStringLiteral("Refused zip entry \"%1\": it would land outside %2"), header.filename(), directory);
        return ZKFailed;
    }
    if (header.isDirectory())
        return QDir().mkpath(*target) ? ZKSucceeded : ZKFailed;
    if (header.generalPurposeBitFlag() & kEncryptedFlag) {
        ZKLog::error(QStringLiteral("Cannot expand encrypted zip entry %1"), header.filename());
        return ZKFailed;
    }
    const auto start = entryDataStart(header);
    if (!start) {
        ZKLog::error(QStringLiteral("Zip entry %1 lies outside the archive %2"), header.filename(), iArchivePath);
        return ZKFailed;
    }
    QDir().mkpath(QFileInfo(*target).path());
    if (!removeExistingItem(*target)) {
        ZKLog::error(QStringLiteral("Cannot replace %1 with zip entry %2"), *target, header.filename());
        return ZKFailed;
    }
    if (header.isSymLink())
        return inflateLink(header, *start, *target, safe);
    const int result = inflateRegularFile(header, *start, *target);
    if (result == ZKSucceeded)
        applyAttributes(*target, header);
    return result;
}

std::optional<qint64> ZKFileArchive::entryDataStart(const ZKCDHeader& header) const {
    const auto local = ZKLFHeader::recordWithArchivePath(iArchivePath, qint64(qMin<quint64>(header.localHeaderOffset(), INT64_MAX)));
    if (!local)
        return std::nullopt;
    const qint64 start = qint64(header.localHeaderOffset()) + local->length();
    const qint64 size = archiveSize();
    if (start > size || header.compressedSize() > quint64(size - start))
        return std::nullopt;
    return start;
}

int ZKFileArchive::inflateLink(const ZKCDHeader& header, qint64 start, const QString& target, const ZKSafePath& safe) {
    if (header.compressedSize() > quint64(kMaximumLinkTargetLength)) {
        ZKLog::error(QStringLiteral("Zip entry %1 is no link target"), header.filename());
        return ZKFailed;
    }
    const QByteArray stored = readArchiveBytes(start, qint64(header.compressedSize()));
    const auto bytes = header.compressionMethod() == ZKCompressionStored ? std::optional<QByteArray>(stored)
        : header.compressionMethod() == ZKCompressionDeflated ? zk_inflate(stored, kMaximumLinkTargetLength)
        : std::nullopt;
    if (!bytes || zk_crc32(*bytes) != header.crc()) {
        ZKLog::error(QStringLiteral("Zip entry %1 holds no readable link target"), header.filename());
        return ZKFailed;
    }
    const QString linkTarget = QString::fromUtf8(*bytes);
    if (!ZKSafePath::isSafeLinkTarget(header.filename(), linkTarget) || !safe.linkStaysInside(target, linkTarget)) {
        ZKLog::error(QStringLiteral("Refused zip entry \"%1\": its link to \"%2\" leads outside the folder"), header.filename(), linkTarget);
        return ZKFailed;
    }
    if (symlink(QFile::encodeName(linkTarget).constData(), QFile::encodeName(target).constData()) != 0) {
        ZKLog::error(QStringLiteral("Cannot create the link %1"), target);
        return ZKFailed;
    }
    return ZKSucceeded;
}

int ZKFileArchive::inflateRegularFile(const ZKCDHeader& header, qint64 start, const QString& target) {
    const quint16 method = header.compressionMethod();
    if (method != ZKCompressionStored && method != ZKCompressionDeflated) {
        ZKLog::error(QStringLiteral("Zip entry %1 uses compression method %2, which cannot be expanded"), header.filename(), method);
        return ZKFailed;
    }
    QFile in(iArchivePath);
    QFile out(target);
    if (!in.open(QIODevice::ReadOnly) || !in.seek(start) || !out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        ZKLog::error(QStringLiteral("Cannot expand zip entry %1 into %2"), header.filename(), target);
        return ZKFailed;
    }
    quint32 crc = 0;
    quint64 written = 0;
    const auto sink = [&](const QByteArray& piece) {
        if (quint64(piece.size()) > header.uncompressedSize() - written)
            return false;  // more bytes than the entry claims
        crc = quint32(crc32_z(crc, reinterpret_cast<const Bytef*>(piece.constData()), size_t(piece.size())));
        written += quint64(piece.size());
        return out.write(piece) == piece.size();
    };
    ZKZlibStream inflater(ZKZlibStream::Mode::Inflate);
    quint64 remaining = header.compressedSize();
    for (quint64 blocks = 1; remaining > 0; ++blocks) {
        const QByteArray block = in.read(qint64(qMin<quint64>(remaining, ZKZipBlockSize)));
        remaining -= quint64(block.size());
        const bool fed = !block.isEmpty()
            && (method == ZKCompressionStored ? sink(block) : inflater.write(block, sink));
        if (!fed) {
            ZKLog::error(QStringLiteral("Stream error: %1 %2"), target, inflater.errorString());
            return ZKFailed;
        }
        if (delegateWantsSizes() && blocks % ZKNotificationIterations == 0)
            notify([this, written](ZKArchiveDelegate& d) { d.onZKArchiveDidUpdateBytesWritten(this, written); });
        throttle();
        if (isCancelled()) {
            out.close();
            notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidCancel(this); });
            return ZKCancelled;
        }
    }
    const bool streamComplete = method == ZKCompressionStored || inflater.finished() || header.compressedSize() == 0;
    if (!streamComplete || written != header.uncompressedSize()) {
        ZKLog::error(QStringLiteral("Inflation size mismatch for %1 - stored: %2, calculated: %3"), target, header.uncompressedSize(), written);
        return ZKFailed;
    }
    if (crc != header.crc()) {
        ZKLog::error(QStringLiteral("Inflation CRC mismatch for %1 - stored: %2, calculated: %3"), target, header.crc(), crc);
        return ZKFailed;
    }
    return ZKSucceeded;
}

// ---- writing

int ZKFileArchive::deflateFiles(const QStringList& paths, const QString& basePath, bool) {
    QList<Item> items;
    for (const QString& path : paths) {
        if (!collectItems(path, basePath, QFileInfo(path).isDir() && !QFileInfo(path).isSymLink(), items))
            return ZKFailed;
    }
    return deflateItems(items);
}

int ZKFileArchive::deflateDirectory(const QString& directory, const QString& basePath, bool) {
    QList<Item> items;
    if (!collectItems(directory, basePath, true, items))
        return ZKFailed;
    return deflateItems(items);
}

int ZKFileArchive::deflateFile(const QString& path, const QString& basePath, bool) {
    QList<Item> items;
    if (!collectItems(path, basePath, false, items))
        return ZKFailed;
    return deflateItems(items);
}

bool ZKFileArchive::collectItems(const QString& path, const QString& basePath, bool recursive, QList<Item>& items) const {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    const QString name = QDir::cleanPath(QDir(basePath).relativeFilePath(absolute));
    if (name.startsWith(QLatin1String("../")) || name == QLatin1String("..") || QDir::isAbsolutePath(name)) {
        ZKLog::error(QStringLiteral("Cannot add %1 to a zip archive relative to %2"), path, basePath);
        return false;
    }
    const QFileInfo info(absolute);
    if (!info.exists() && !info.isSymLink()) {
        ZKLog::error(QStringLiteral("Cannot add %1 to a zip archive: nothing is there"), path);
        return false;
    }
    const bool isDirectory = info.isDir() && !info.isSymLink();
    if (name != QLatin1String(".") && absolute != QFileInfo(iArchivePath).absoluteFilePath())
        items.append({absolute, isDirectory ? name + QLatin1Char('/') : name});
    if (!recursive || !isDirectory)
        return true;
    const auto children = QDir(absolute).entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& child : children) {
        if (!collectItems(child.absoluteFilePath(), basePath, true, items))
            return false;
    }
    return true;
}

int ZKFileArchive::deflateItems(const QList<Item>& items) {
    notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidBeginZip(this); });
    notify([this, &items](ZKArchiveDelegate& d) { d.onZKArchiveDidUpdateTotalCount(this, quint64(items.size())); });
    QFile file(iArchivePath);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(qint64(iCdTrailer.offsetOfStartOfCentralDirectory()))) {
        ZKLog::error(QStringLiteral("Cannot write the zip archive %1"), iArchivePath);
        notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidFail(this); });
        return ZKFailed;
    }
    int result = ZKSucceeded;
    for (qsizetype i = 0; result == ZKSucceeded && i < items.size(); ++i) {
        const qint64 entryStart = file.pos();
        result = writeEntry(file, items[i]);
        if (result != ZKSucceeded)
            file.seek(entryStart);
    }
    // The directory is always written, so an archive whose last entry failed holds the others.
    const QByteArray directory = writtenDirectory(quint64(file.pos()));
    const bool written = file.write(directory) == directory.size() && file.resize(file.pos());
    iUseZip64Extensions = iUseZip64Extensions || iCdTrailer.useZip64Extensions();
    if (!written)
        result = ZKFailed;
    if (result == ZKSucceeded)
        notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidEndZip(this); });
    else if (result == ZKFailed)
        notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidFail(this); });
    return result;
}

int ZKFileArchive::writeEntry(QFile& file, const Item& item) {
    notify([this, &item](ZKArchiveDelegate& d) { d.onZKArchiveWillZipPath(this, item.path); });
    const auto attributes = ZKFileAttributes::ofPath(item.path);
    if (!attributes || ZKRecordCoding::encodeText(item.name).size() > 0xFFFF) {
        ZKLog::error(QStringLiteral("Cannot add %1 to a zip archive"), item.path);
        return ZKFailed;
    }
    const bool isRegular = attributes->fileType == ZKFileAttributes::FileType::Regular;
    ZKLFHeader local;
    local.setFilename(item.name);
    local.setLastModDate(attributes->modificationDate);
    local.setCompressionMethod(isRegular ? ZKCompressionDeflated : ZKCompressionStored);
    // The sizes are known only afterwards: a header that might need zip64 reserves room for it.
    local.setForcesZip64(isRegular && compressBound(uLong(QFileInfo(item.path).size())) >= ZKZip64Threshold);
    const qint64 entryOffset = file.pos();
    const QByteArray placeholder = local.data();
    if (file.write(placeholder) != placeholder.size()) {
        ZKLog::error(QStringLiteral("Cannot write the zip archive %1"), iArchivePath);
        return ZKFailed;
    }
    EntryContent content;
    const int result = isRegular ? deflateFileContent(file, item.path, content) : storeOtherContent(file, item.path, content);
    if (result != ZKSucceeded)
        return result;
    local.setCrc(content.crc);
    local.setCompressedSize(content.compressedSize);
    local.setUncompressedSize(content.uncompressedSize);
    const qint64 entryEnd = file.pos();
    const QByteArray header = local.data();
    if (header.size() != placeholder.size() || !file.seek(entryOffset) || file.write(header) != header.size()
        || !file.seek(entryEnd)) {
        ZKLog::error(QStringLiteral("Cannot add %1 to the zip archive %2"), item.path, iArchivePath);
        return ZKFailed;
    }
    ZKCDHeader central = ZKCDHeader::recordForLocalHeader(local, quint64(entryOffset));
    central.setExternalFileAttributes(attributes->externalFileAttributes());
    iCentralDirectory.append(central);
    return ZKSucceeded;
}

int ZKFileArchive::storeOtherContent(QFile& file, const QString& path, EntryContent& content) {
    if (QFileInfo(path).isSymLink()) {
        const auto target = ZKFileManagerAdditions::linkTarget(path);
        if (!target) {
            ZKLog::error(QStringLiteral("Cannot read the link %1"), path);
            return ZKFailed;
        }
        content.stored = QFile::encodeName(*target);
    }
    content.crc = zk_crc32(content.stored);
    content.compressedSize = content.uncompressedSize = quint64(content.stored.size());
    return file.write(content.stored) == content.stored.size() ? ZKSucceeded : ZKFailed;
}

int ZKFileArchive::deflateFileContent(QFile& file, const QString& path, EntryContent& content) {
    QFile in(path);
    if (!in.open(QIODevice::ReadOnly)) {
        ZKLog::error(QStringLiteral("Cannot read %1"), path);
        return ZKFailed;
    }
    ZKZlibStream deflater(ZKZlibStream::Mode::Deflate);
    const auto sink = [&](const QByteArray& piece) {
        content.compressedSize += quint64(piece.size());
        return file.write(piece) == piece.size();
    };
    for (quint64 blocks = 1;; ++blocks) {
        const QByteArray block = in.read(ZKZipBlockSize);
        const bool last = in.atEnd();
        if ((block.isEmpty() && !last) || !deflater.write(block, sink, last)) {
            ZKLog::error(QStringLiteral("Cannot compress %1 into %2: %3"), path, iArchivePath, deflater.errorString());
            return ZKFailed;
        }
        content.crc = zk_crc32(block, content.crc);
        content.uncompressedSize += quint64(block.size());
        if (last)
            return ZKSucceeded;
        if (delegateWantsSizes() && blocks % ZKNotificationIterations == 0)
            notify([this, &content](ZKArchiveDelegate& d) { d.onZKArchiveDidUpdateBytesWritten(this, content.uncompressedSize); });
        if (isCancelled()) {
            notify([this](ZKArchiveDelegate& d) { d.onZKArchiveDidCancel(this); });
            return ZKCancelled;
        }
    }
}
