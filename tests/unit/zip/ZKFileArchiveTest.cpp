#include "ZipTestSupport.h"
#include "zip/ZKArchiveDelegate.h"
#include "zip/ZKDataAdditions.h"
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
    // Expands into <place>/.ZipKit the way theme import does; the items land in <place>.
    int expand(const QString& archivePath, const QString& place, bool resourceFork = false) {
        const auto archive = ZKFileArchive::archiveWithArchivePath(archivePath);
        return archive ? archive->inflateToDirectory(place + QStringLiteral("/.ZipKit"), resourceFork) : -2;
    }

    QTemporaryDir temp;
};

// Records which calls came, in order.
class RecordingDelegate : public ZKArchiveDelegate {
public:
    QStringList calls;
    void onZKArchiveDidBeginZip(ZKArchive*) override { calls << QStringLiteral("beginZip"); }
    void onZKArchiveDidEndZip(ZKArchive*) override { calls << QStringLiteral("endZip"); }
    void onZKArchiveWillZipPath(ZKArchive*, const QString&) override { calls << QStringLiteral("zip"); }
    void onZKArchiveDidBeginUnzip(ZKArchive*) override { calls << QStringLiteral("beginUnzip"); }
    void onZKArchiveWillUnzipPath(ZKArchive*, const QString& path) override { calls << path; }
    void onZKArchiveDidEndUnzip(ZKArchive*) override { calls << QStringLiteral("endUnzip"); }
    void onZKArchiveDidFail(ZKArchive*) override { calls << QStringLiteral("fail"); }
    void onZKArchiveDidCancel(ZKArchive*) override { calls << QStringLiteral("cancel"); }
};

}  // namespace

TEST_F(ZKFileArchiveTest, PackedFolderPassesUnzipAndPythonAndExpandsToTheSameTree) {
    const QString book = path(QStringLiteral("Book"));
    makeSampleFolder(book);
    QFile::setPermissions(book + QStringLiteral("/index.html"), QFile::ReadOwner | QFile::WriteOwner);
    const QDateTime old(QDate(2011, 5, 6), QTime(7, 8, 9));
    const QStringList dated = {QStringLiteral("/files/page/1.jpg"), QStringLiteral("/files/empty")};
    for (const QString& item : dated) {
        const timespec times[2] = {{old.toSecsSinceEpoch(), 0}, {old.toSecsSinceEpoch(), 0}};
        utimensat(AT_FDCWD, QFile::encodeName(book + item).constData(), times, 0);
    }
    const QString zipPath = path(QStringLiteral("Book.zip"));
    ASSERT_EQ(pack(book, zipPath), 1);
    const auto test = runTool(QStringLiteral("unzip"), {QStringLiteral("-t"), zipPath});
    EXPECT_EQ(test.exitCode, 0) << test.out.constData();

    // The folder's entries sit at the archive root; links and folders keep their Unix types.
    auto read = pythonListing(zipPath);
    EXPECT_FALSE(read.contains(QStringLiteral("Book/")));
    EXPECT_EQ(read[QStringLiteral("files/page/1.jpg")].bytes, readFile(book + QStringLiteral("/files/page/1.jpg")));
    EXPECT_EQ(read[QString::fromUtf8("files/Übersicht café.txt")].bytes, QByteArray("gr\xC3\xBC\xC3\x9F" "e\n"));
    EXPECT_EQ(read[QStringLiteral("files/cover.jpg")].bytes, QByteArray("page/1.jpg"));
    EXPECT_TRUE(read[QStringLiteral("files/cover.jpg")].mode.startsWith(QStringLiteral("0o120")));
    EXPECT_TRUE(read[QStringLiteral("files/empty/")].mode.startsWith(QStringLiteral("0o40")));

    const QString out = path(QStringLiteral("out"));
    ASSERT_EQ(expand(zipPath, out), 1);
    EXPECT_EQ(treeOf(out), treeOf(book));
    EXPECT_EQ(QFile::permissions(out + QStringLiteral("/index.html")) & 0x7077, QFile::ReadOwner | QFile::WriteOwner);
    // Entries keep their dates to the even second below (and so do folders, set after their content).
    for (const QString& item : dated)
        EXPECT_EQ(QFileInfo(out + item).lastModified(), old.addSecs(-1)) << item.toStdString();
}

TEST_F(ZKFileArchiveTest, ExpandsWhatZipWritesIncludingStreamedEntries) {
    const QString source = path(QStringLiteral("src"));
    makeSampleFolder(source);
    const QString zipped = path(QStringLiteral("zip.zip"));
    const auto made = runTool(QStringLiteral("zip"), {QStringLiteral("-r"), QStringLiteral("-y"), QStringLiteral("-q"), zipped, QStringLiteral(".")}, source);
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    ASSERT_EQ(expand(zipped, path(QStringLiteral("a"))), 1);
    EXPECT_EQ(treeOf(path(QStringLiteral("a"))), treeOf(source));

    // Written to a pipe, zip puts sizes and CRC after the data (data descriptors). zip refuses
    // symbolic links on a pipe, so the streamed folder has none; its own exit status is checked.
    QFile::remove(source + QStringLiteral("/files/cover.jpg"));
    const auto piped = runTool(QStringLiteral("zip"), {QStringLiteral("-r"), QStringLiteral("-q"), QStringLiteral("-"), QStringLiteral(".")}, source);
    ASSERT_EQ(piped.exitCode, 0) << piped.err.constData();
    const QString streamed = path(QStringLiteral("streamed.zip"));
    writeFile(streamed, piped.out);
    ASSERT_EQ(expand(streamed, path(QStringLiteral("b"))), 1);
    EXPECT_EQ(treeOf(path(QStringLiteral("b"))), treeOf(source));
}

TEST_F(ZKFileArchiveTest, ExpandsWhatPythonWritesStoredDeflatedAndZip64) {
    const QString pyZip = path(QStringLiteral("py.zip"));
    // Lowering the zip64 limits makes Python write zip64 extra blocks that list only the
    // saturated fields, and a zip64 end record with its locator.
    const auto made = python(QStringLiteral(R"(
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
)"), {pyZip});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    const auto archive = ZKFileArchive::archiveWithArchivePath(pyZip);
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->useZip64Extensions());

    const QString out = path(QStringLiteral("out"));
    ASSERT_EQ(expand(pyZip, out), 1);
    QMap<QString, QByteArray> expected = {
        {"stored", "dir"}, {"stored/a.txt", QByteArray(500, 'A')}, {"deflated", "dir"}, {"deflated/b.txt", QByteArray(50000, 'B')},
        {"small.txt", "tiny"}, {"deep", "dir"}, {"deep/er", "dir"}, {QString::fromUtf8("deep/er/été.txt"), "summer"},
        {"empty", "dir"}, {"deep/to-small", "link:../small.txt"}};
    EXPECT_EQ(treeOf(out), expected);
}

TEST_F(ZKFileArchiveTest, ThemeCleanUpMovesItemsUpUnderFreeNames) {
    const QString zipPath = path(QStringLiteral("theme.zip"));
    ASSERT_EQ(python(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('Meta.xml', b'new meta')
    z.writestr('README', b'new readme')
    z.writestr('__MACOSX/._Meta.xml', b'resource fork')
)"), {zipPath}).exitCode, 0);
    const QString place = path(QStringLiteral("P"));
    writeFile(place + QStringLiteral("/Meta.xml"), "old meta");
    writeFile(place + QStringLiteral("/README"), "old readme");
    writeFile(place + QStringLiteral("/Meta 2.xml"), "taken");
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
    const QString source = path(QStringLiteral("src"));
    writeFile(source + QStringLiteral("/a.txt"), "text");
    writeFile(source + QStringLiteral("/__MACOSX/._a.txt"), appleDouble);
    const QString zipPath = path(QStringLiteral("mac.zip"));
    ASSERT_EQ(pack(source, zipPath), 1);
    const auto attribute = [](const QString& file, const char* name) {
        char buffer[256];
        const ssize_t length = getxattr(QFile::encodeName(file).constData(), name, buffer, sizeof buffer);
        return length < 0 ? QByteArray() : QByteArray(buffer, int(length));
    };
    for (bool merge : {false, true}) {
        const QString out = path(merge ? QStringLiteral("merged") : QStringLiteral("plain"));
        ASSERT_EQ(expand(zipPath, out, merge), 1);
        EXPECT_EQ(treeOf(out), (QMap<QString, QByteArray>{{"a.txt", "text"}}));
        const QByteArray info = attribute(out + QStringLiteral("/a.txt"), "user.com.apple.FinderInfo");
        if (merge && info.isEmpty() && errno == ENOTSUP)
            GTEST_SKIP() << "no extended attributes on this file system";
        EXPECT_EQ(info, merge ? finderInfo : QByteArray());
        EXPECT_EQ(attribute(out + QStringLiteral("/a.txt"), "user.com.apple.ResourceFork"), merge ? fork : QByteArray());
    }
}

TEST_F(ZKFileArchiveTest, DelegateHearsProgressAndCancellationStopsTheWork) {
    const QString folder = path(QStringLiteral("f"));
    writeFile(folder + QStringLiteral("/a.txt"), "a");
    writeFile(folder + QStringLiteral("/b.txt"), sampleBytes(3 * 262144, 9));
    const QString zipPath = path(QStringLiteral("d.zip"));
    RecordingDelegate delegate;
    auto archive = ZKFileArchive::archiveWithArchivePath(zipPath);
    archive->setDelegate(&delegate);
    ASSERT_EQ(archive->deflateDirectory(folder, folder, false), 1);
    EXPECT_EQ(delegate.calls, QStringList({"beginZip", "zip", "zip", "endZip"}));

    delegate.calls.clear();
    auto reader = ZKFileArchive::archiveWithArchivePath(zipPath);
    reader->setDelegate(&delegate);
    int asked = 0;
    reader->setInvoker([&asked] { return ++asked > 1; });
    EXPECT_EQ(reader->inflateToDirectory(path(QStringLiteral("out/x")), false), 0);
    EXPECT_EQ(delegate.calls, QStringList({"beginUnzip", "a.txt", "b.txt", "cancel"}));
}
