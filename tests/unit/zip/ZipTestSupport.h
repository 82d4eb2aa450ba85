#pragma once
#include "TestSupport.h"
#include "zip/ZKFileArchive.h"

#include <QDirIterator>
#include <QMap>
#include <QRandomGenerator>
#include <filesystem>
#include <gtest/gtest.h>

// Fixtures and outside tools (python3, zip, unzip) for the zip tests.
namespace ZipTestSupport {

using TestSupport::readFile;
using TestSupport::runTool;
using TestSupport::writeFile;

inline TestSupport::ToolRun python(const QString& script, const QStringList& arguments = {}) {
    return runTool(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + arguments);
}

// Bytes that compress somewhat, like real page files: random runs over a small alphabet.
inline QByteArray sampleBytes(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(random.bounded(i % 3 == 0 ? 256 : 16));
    return bytes;
}

// A folder with nested files, an empty folder, a link, a non-ASCII name and a file larger
// than one 256 KiB block.
inline void makeSampleFolder(const QString& root) {
    writeFile(root + QStringLiteral("/index.html"), "<html>book</html>\n");
    writeFile(root + QStringLiteral("/files/book.bin"), sampleBytes(3000, 1));
    writeFile(root + QStringLiteral("/files/page/1.jpg"), sampleBytes(700 * 1024, 2));
    writeFile(root + QStringLiteral("/files/page/2.jpg"), QByteArray());
    writeFile(root + QString::fromUtf8("/files/Übersicht café.txt"), "gr\xC3\xBC\xC3\x9F" "e\n");
    QDir().mkpath(root + QStringLiteral("/files/empty"));
    QFile::link(QStringLiteral("page/1.jpg"), root + QStringLiteral("/files/cover.jpg"));
}

// Expands into <place>/.ZipKit the way theme import does; the items land in <place>. -2: no archive.
inline int expand(const QString& archivePath, const QString& place, bool resourceFork = false) {
    const auto archive = ZKFileArchive::archiveWithArchivePath(archivePath);
    return archive ? archive->inflateToDirectory(place + QStringLiteral("/.ZipKit"), resourceFork) : -2;
}

// Relative path -> content for files, "link:" + target for links, "dir" for folders.
inline QMap<QString, QByteArray> treeOf(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info(it.next());
        QByteArray& item = tree[QDir(root).relativeFilePath(info.filePath())];
        if (info.isSymLink())
            item = "link:" + QByteArray(std::filesystem::read_symlink(QFile::encodeName(info.filePath()).constData()).c_str());
        else
            item = info.isDir() ? QByteArray("dir") : readFile(info.filePath());
    }
    return tree;
}

}  // namespace ZipTestSupport
