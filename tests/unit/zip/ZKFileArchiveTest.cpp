#include "ZipTestSupport.h"
#include "zip/ZKFileArchive.h"
#include <gtest/gtest.h>
#include <QDataStream>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace ZipTestSupport;

namespace {

class ZKFileArchiveTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return temp.filePath(relative); }

    int pack(const QString& folder, const QString& zipPath) {
        return ZKFileArchive::archiveWithArchivePath(zipPath)->deflateDirectory(folder, folder, false);
    }

    QTemporaryDir temp;
};

}  // namespace

TEST_F(ZKFileArchiveTest, PackedFolderPassesUnzipAndPythonAndExpandsToTheSameTree) {
    const QString book = path("Book");
    makeSampleFolder(book);
    QFile::setPermissions(book + "/index.html", QFile::ReadOwner | QFile::WriteOwner);
    const QDateTime old(QDate(2011, 5, 6), QTime(7, 8, 9));
    const QStringList dated = {"/files/page/1.jpg", "/files/empty"};
    for (const QString& item : dated) {
        const timespec times[2] = {{old.toSecsSinceEpoch(), 0}, {old.toSecsSinceEpoch(), 0}};
        utimensat(AT_FDCWD, QFile::encodeName(book + item).constData(), times, 0);
    }
    const QString zipPath = path("Book.zip");
    ASSERT_EQ(pack(book, zipPath), 1);
    const auto test = runTool("unzip", {"-t", zipPath});
    EXPECT_EQ(test.exitCode, 0) << test.out.constData();

    // The folder's entries sit at the archive root; links and folders keep their Unix types.
    const auto python3 = python(R"(
import stat, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    assert z.testzip() is None and 'index.html' in z.namelist()
    assert z.read('files/page/1.jpg') == open(sys.argv[2] + '/files/page/1.jpg', 'rb').read()
    assert z.read('files/\u00dcbersicht caf\u00e9.txt') == 'gr\u00fc\u00dfe\n'.encode()
    assert z.read('files/cover.jpg') == b'page/1.jpg'
    assert stat.S_ISLNK(z.getinfo('files/cover.jpg').external_attr >> 16)
    assert stat.S_ISDIR(z.getinfo('files/empty/').external_attr >> 16)
)", {zipPath, book});
    EXPECT_EQ(python3.exitCode, 0) << python3.err.constData();

    const QString out = path("out");
    ASSERT_EQ(expand(zipPath, out), 1);
    EXPECT_EQ(treeOf(out), treeOf(book));
    EXPECT_EQ(QFile::permissions(out + "/index.html") & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    // Entries keep their dates to the even second below (and so do folders, set after their content).
    for (const QString& item : dated)
        EXPECT_EQ(QFileInfo(out + item).lastModified(), old.addSecs(-1)) << item.toStdString();
}

TEST_F(ZKFileArchiveTest, ExpandsWhatZipWritesIncludingStreamedEntries) {
    const QString source = path("src");
    makeSampleFolder(source);
    const QString zipped = path("zip.zip");
    const auto made = runTool("zip", {"-r", "-y", "-q", zipped, "."}, source);
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    ASSERT_EQ(expand(zipped, path("a")), 1);
    EXPECT_EQ(treeOf(path("a")), treeOf(source));

    // Written to a pipe, zip puts sizes and CRC after the data (data descriptors). zip refuses
    // symbolic links on a pipe, so the streamed folder has none; its own exit status is checked.
    QFile::remove(source + "/files/cover.jpg");
    const auto piped = runTool("zip", {"-r", "-q", "-", "."}, source);
    ASSERT_EQ(piped.exitCode, 0) << piped.err.constData();
    const QString streamed = path("streamed.zip");
    writeFile(streamed, piped.out);
    ASSERT_EQ(expand(streamed, path("b")), 1);
    EXPECT_EQ(treeOf(path("b")), treeOf(source));
}

TEST_F(ZKFileArchiveTest, ExpandsWhatPythonWritesStoredDeflatedAndZip64) {
    const QString pyZip = path("py.zip");
    // Lowering the zip64 limits makes Python write zip64 extra blocks that list only the
    // saturated fields, and a zip64 end record with its locator.
    const auto made = python(R"(
import sys, zipfile
zipfile.ZIP64_LIMIT = 100
zipfile.ZIP_FILECOUNT_LIMIT = 2
link = zipfile.ZipInfo('deep/to-small')
link.external_attr = (0o120777 << 16)
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('stored/a.txt', b'A' * 500, compress_type=zipfile.ZIP_STORED)
    z.writestr('deflated/b.txt', b'B' * 50000, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('small.txt', b'tiny', compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('deep/er/\u00e9t\u00e9.txt', 'summer'.encode(), compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('empty/', b'')
    z.writestr(link, '../small.txt', compress_type=zipfile.ZIP_DEFLATED)
)", {pyZip});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    const auto archive = ZKFileArchive::archiveWithArchivePath(pyZip);
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->useZip64Extensions());

    const QString out = path("out");
    ASSERT_EQ(expand(pyZip, out), 1);
    QMap<QString, QByteArray> expected = {
        {"stored", "dir"}, {"stored/a.txt", QByteArray(500, 'A')}, {"deflated", "dir"}, {"deflated/b.txt", QByteArray(50000, 'B')},
        {"small.txt", "tiny"}, {"deep", "dir"}, {"deep/er", "dir"}, {QString::fromUtf8("deep/er/été.txt"), "summer"},
        {"empty", "dir"}, {"deep/to-small", "link:../small.txt"}};
    EXPECT_EQ(treeOf(out), expected);
}

TEST_F(ZKFileArchiveTest, ThemeCleanUpMovesItemsUpUnderFreeNames) {
    const QString zipPath = path("theme.zip");
    ASSERT_EQ(python(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('Meta.xml', b'new meta')
    z.writestr('README', b'new readme')
    z.writestr('__MACOSX/._Meta.xml', b'resource fork')
)", {zipPath}).exitCode, 0);
    const QString place = path("P");
    writeFile(place + "/Meta.xml", "old meta");
    writeFile(place + "/README", "old readme");
    writeFile(place + "/Meta 2.xml", "taken");
    ASSERT_EQ(expand(zipPath, place), 1);
    EXPECT_EQ(treeOf(place), (QMap<QString, QByteArray>{{"Meta.xml", "old meta"}, {"Meta 2.xml", "taken"},
                                                         {"Meta 3.xml", "new meta"}, {"README", "old readme"},
                                                         {"README 2", "new readme"}}));
}

TEST_F(ZKFileArchiveTest, AppleDoubleBecomesExtendedAttributesWhenAsked) {
    // AppleDouble (big-endian): magic, version 2, 16 filler bytes, two entries (id, offset, length):
    // Finder info 9 and resource fork 2.
    const QByteArray finderInfo = QByteArray("TEXTttxt") + QByteArray(24, '\0');
    const QByteArray fork = "resource fork bytes";
    QByteArray appleDouble;
    QDataStream(&appleDouble, QIODevice::WriteOnly) << quint32(0x00051607) << quint32(0x00020000) << quint64(0) << quint64(0)
        << quint16(2) << quint32(9) << quint32(50) << quint32(finderInfo.size()) << quint32(2) << quint32(82) << quint32(fork.size());
    appleDouble += finderInfo + fork;
    const QString source = path("src");
    writeFile(source + "/a.txt", "text");
    writeFile(source + "/__MACOSX/._a.txt", appleDouble);
    const QString zipPath = path("mac.zip");
    ASSERT_EQ(pack(source, zipPath), 1);
    const auto attribute = [](const QString& file, const char* name) {
        char buffer[256];
        const ssize_t length = getxattr(QFile::encodeName(file).constData(), name, buffer, sizeof buffer);
        return length < 0 ? QByteArray() : QByteArray(buffer, int(length));
    };
    for (bool merge : {false, true}) {
        const QString out = path(merge ? "merged" : "plain");
        ASSERT_EQ(expand(zipPath, out, merge), 1);
        EXPECT_EQ(treeOf(out), (QMap<QString, QByteArray>{{"a.txt", "text"}}));
        const QByteArray info = attribute(out + "/a.txt", "user.com.apple.FinderInfo");
        if (merge && info.isEmpty() && errno == ENOTSUP)
            GTEST_SKIP() << "no extended attributes on this file system";
        EXPECT_EQ(info, merge ? finderInfo : QByteArray());
        EXPECT_EQ(attribute(out + "/a.txt", "user.com.apple.ResourceFork"), merge ? fork : QByteArray());
    }
}

