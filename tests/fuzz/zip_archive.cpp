// Archives from arbitrary bytes: an in-memory archive inflates each of its entries to no more
// than the entry claims, and the same bytes as a file expand into a folder without writing
// anything outside it.
#include "FuzzSupport.h"
#include "zip/ZKDataArchive.h"
#include "zip/ZKFileArchive.h"

#include <QDirIterator>

FUZZ_INIT

namespace {
void inflateInMemory(const QByteArray& bytes) {
    const auto archive = ZKDataArchive::archiveWithArchiveData(bytes);
    if (!archive)
        return;
    for (const ZKCDHeader& header : archive->centralDirectory()) {
        ZKFileAttributes attributes;
        const auto content = archive->inflateFile(header, &attributes);
        if (content && !header.isDirectory())
            FUZZ_CHECK(quint64(content->size()) <= qMax(header.uncompressedSize(), header.compressedSize()));
    }
}

// Expands into <scratch>/expand/box/inside; the clean-up may move items up into box, but
// nothing may appear beside box.
void expandFromFile(const QByteArray& bytes) {
    const QString root = FuzzSupport::freshFolder(QStringLiteral("expand"));
    const QString archivePath = root + QStringLiteral("/box/archive.zip");
    if (!TestSupport::writeFile(archivePath, bytes))
        return;
    const auto archive = ZKFileArchive::archiveWithArchivePath(archivePath);
    if (!archive)
        return;
    const QString inside = root + QStringLiteral("/box/inside");
    QDir().mkpath(inside);
    archive->inflateToDirectory(inside, true);
    const QStringList beside = QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    FUZZ_CHECK(beside == QStringList{QStringLiteral("box")});
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzSupport::bytes(data, size);
    inflateInMemory(bytes);
    expandFromFile(bytes);
    return 0;
}
