#include "ZipTestSupport.h"
#include "zip/ZKArchiveDelegate.h"
#include "zip/ZKDataAdditions.h"
#include "zip/ZKFileArchive.h"
#include <gtest/gtest.h>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>

using namespace ZipTestSupport;

namespace {

class ZKFileArchiveTest : public ::testing::Test {
protected:
    QString path(const QString& relative) const { return temp.filePath(relative); }

    // Expands into <place>/.ZipKit the way theme import does; the items land in <place>.
    int expand(const QString& archivePath, const QString& place, bool resourceFork = false) {
        const auto archive = ZKFileArchive::archiveWithArchivePath(archivePath);
        if (!archive)
            return -2;
        return archive->inflateToDirectory(place + QStringLiteral("/.ZipKit"), resourceFork);
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

TEST_F(ZKFileArchiveTest, PackedFolderPassesUnzipAndReadsBackInPython) {
    const QString book = path(QStringLiteral("Book"));
    makeSampleFolder(book);
    const QString zipPath = path(QStringLiteral("Book.zip"));
    const auto archive = ZKFileArchive::archiveWithArchivePath(zipPath);
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->centralDirectory().isEmpty());
    ASSERT_EQ(archive->deflateDirectory(book, book, false), 1);

    const auto test = run(QStringLiteral("unzip"), {QStringLiteral("-t"), zipPath});
    EXPECT_EQ(test.exitCode, 0) << test.out.constData();

    const auto listing = python(QString::fromLatin1(kPythonListing), {zipPath});
    ASSERT_EQ(listing.exitCode, 0) << listing.out.constData() << listing.err.constData();
    QMap<QString, QByteArray> read;
    QMap<QString, QString> modes;
    for (const QString& line : QString::fromUtf8(listing.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const auto fields = line.split(QLatin1Char('\t'));
        read[fields[0]] = QByteArray::fromBase64(fields[1].toLatin1());
        modes[fields[0]] = fields[2];
    }
    // The folder's entries sit at the archive root.
    EXPECT_FALSE(read.contains(QStringLiteral("Book/")));
    EXPECT_EQ(read[QStringLiteral("index.html")], readFile(book + QStringLiteral("/index.html")));
    EXPECT_EQ(read[QStringLiteral("files/page/1.jpg")], readFile(book + QStringLiteral("/files/page/1.jpg")));
    EXPECT_EQ(read[QStringLiteral("files/page/2.jpg")], QByteArray());
    EXPECT_EQ(read[QString::fromUtf8("files/Übersicht café.txt")], QByteArray("gr\xC3\xBC\xC3\x9F" "e\n"));
    EXPECT_TRUE(read.contains(QStringLiteral("files/empty/")));
    EXPECT_EQ(read[QStringLiteral("files/cover.jpg")], QByteArray("page/1.jpg"));
    EXPECT_TRUE(modes[QStringLiteral("files/cover.jpg")].startsWith(QStringLiteral("0o120")));
    EXPECT_TRUE(modes[QStringLiteral("files/empty/")].startsWith(QStringLiteral("0o40")));
}

TEST_F(ZKFileArchiveTest, PackedFolderExpandsToTheSameTree) {
    const QString book = path(QStringLiteral("Book"));
    makeSampleFolder(book);
    QFile::setPermissions(book + QStringLiteral("/index.html"), QFile::ReadOwner | QFile::WriteOwner);
    const QDateTime old(QDate(2011, 5, 6), QTime(7, 8, 9));
    const QStringList dated = {QStringLiteral("/files/page/1.jpg"), QStringLiteral("/files/empty")};
    for (const QString& item : dated) {
        const timespec time{old.toSecsSinceEpoch(), 0};
        const timespec times[2] = {time, time};
        utimensat(AT_FDCWD, QFile::encodeName(book + item).constData(), times, 0);
    }
    const QString zipPath = path(QStringLiteral("Book.zip"));
    ASSERT_EQ(ZKFileArchive::archiveWithArchivePath(zipPath)->deflateDirectory(book, book, false), 1);
    const QString out = path(QStringLiteral("out"));
    ASSERT_EQ(expand(zipPath, out), 1);
    EXPECT_EQ(treeOf(out), treeOf(book));
    const auto permissionBits = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup
        | QFile::WriteGroup | QFile::ExeGroup | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    EXPECT_EQ(QFile::permissions(out + QStringLiteral("/index.html")) & permissionBits, QFile::ReadOwner | QFile::WriteOwner);
    // Entries keep their dates to the even second below (and so do folders, set after their content).
    for (const QString& item : dated)
        EXPECT_EQ(QFileInfo(out + item).lastModified(), old.addSecs(-1)) << item.toStdString();
}

TEST_F(ZKFileArchiveTest, ExpandsWhatZipWritesIncludingStreamedEntries) {
    const QString source = path(QStringLiteral("src"));
    makeSampleFolder(source);
    const QString zipped = path(QStringLiteral("zip.zip"));
    const auto made = run(QStringLiteral("zip"), {QStringLiteral("-r"), QStringLiteral("-y"), QStringLiteral("-q"), zipped, QStringLiteral(".")}, source);
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    ASSERT_EQ(expand(zipped, path(QStringLiteral("a"))), 1);
    EXPECT_EQ(treeOf(path(QStringLiteral("a"))), treeOf(source));

    // Written to a pipe, zip puts sizes and CRC after the data (data descriptors). zip refuses
    // symbolic links on a pipe, so the streamed folder has none; its own exit status is checked.
    QFile::remove(source + QStringLiteral("/files/cover.jpg"));
    const auto piped = run(QStringLiteral("zip"), {QStringLiteral("-r"), QStringLiteral("-q"), QStringLiteral("-"), QStringLiteral(".")}, source);
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
def link(name, target):
    info = zipfile.ZipInfo(name)
    info.external_attr = (0o120777 << 16)
    return info, target
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('stored/a.txt', b'A' * 500, compress_type=zipfile.ZIP_STORED)
    z.writestr('deflated/b.txt', b'B' * 50000, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('small.txt', b'tiny', compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('deep/er/\u00e9t\u00e9.txt', 'summer'.encode(), compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('empty/', b'')
    z.writestr(*link('deep/to-small', '../small.txt'), compress_type=zipfile.ZIP_DEFLATED)
)"), {pyZip});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    const auto archive = ZKFileArchive::archiveWithArchivePath(pyZip);
    ASSERT_TRUE(archive);
    EXPECT_TRUE(archive->useZip64Extensions());
    EXPECT_EQ(archive->centralDirectory().size(), 6);

    const QString out = path(QStringLiteral("out"));
    ASSERT_EQ(expand(pyZip, out), 1);
    EXPECT_EQ(readFile(out + QStringLiteral("/stored/a.txt")), QByteArray(500, 'A'));
    EXPECT_EQ(readFile(out + QStringLiteral("/deflated/b.txt")), QByteArray(50000, 'B'));
    EXPECT_EQ(readFile(out + QStringLiteral("/small.txt")), QByteArray("tiny"));
    EXPECT_EQ(readFile(out + QString::fromUtf8("/deep/er/été.txt")), QByteArray("summer"));
    EXPECT_TRUE(QFileInfo(out + QStringLiteral("/empty")).isDir());
    EXPECT_EQ(rawLinkTarget(out + QStringLiteral("/deep/to-small")), QByteArray("../small.txt"));
    EXPECT_EQ(readFile(out + QStringLiteral("/deep/to-small")), QByteArray("tiny"));
    EXPECT_FALSE(QFileInfo::exists(out + QStringLiteral("/.ZipKit")));
}

TEST_F(ZKFileArchiveTest, CleanUpMovesItemsUpUnderFreeNames) {
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
    EXPECT_EQ(readFile(place + QStringLiteral("/Meta.xml")), QByteArray("old meta"));
    EXPECT_EQ(readFile(place + QStringLiteral("/Meta 2.xml")), QByteArray("taken"));
    EXPECT_EQ(readFile(place + QStringLiteral("/Meta 3.xml")), QByteArray("new meta"));
    EXPECT_EQ(readFile(place + QStringLiteral("/README 2")), QByteArray("new readme"));
    EXPECT_FALSE(QFileInfo::exists(place + QStringLiteral("/__MACOSX")));
    EXPECT_FALSE(QFileInfo::exists(place + QStringLiteral("/.ZipKit")));
}

TEST_F(ZKFileArchiveTest, WrongCrcFailsTheEntryButLeavesItWrittenAndStopsThere) {
    const QString zipPath = path(QStringLiteral("crc.zip"));
    ASSERT_EQ(python(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('first.txt', b'fine')
    z.writestr('bad.txt', b'damaged', compress_type=zipfile.ZIP_STORED)
    z.writestr('never.txt', b'not reached')
data = bytearray(open(sys.argv[1], 'rb').read())
at = data.index(b'damaged')
data[at] = ord('D')
open(sys.argv[1], 'wb').write(data)
)"), {zipPath}).exitCode, 0);
    const QString place = path(QStringLiteral("P"));
    EXPECT_EQ(expand(zipPath, place), -1);
    EXPECT_EQ(readFile(place + QStringLiteral("/first.txt")), QByteArray("fine"));
    EXPECT_EQ(readFile(place + QStringLiteral("/bad.txt")), QByteArray("Damaged"));
    EXPECT_FALSE(QFileInfo::exists(place + QStringLiteral("/never.txt")));
    EXPECT_FALSE(QFileInfo::exists(place + QStringLiteral("/.ZipKit")));
}

TEST_F(ZKFileArchiveTest, AppleDoubleBecomesExtendedAttributesWhenAsked) {
    // AppleDouble: magic, version 2, 16 filler bytes, two entries (Finder info 9, resource fork 2).
    const auto bigEndian = [](quint32 v) { return QByteArray::fromHex(QByteArray::number(v, 16).rightJustified(8, '0')); };
    const QByteArray finderInfo = QByteArray("TEXTttxt") + QByteArray(24, '\0');
    const QByteArray fork = "resource fork bytes";
    const quint32 dataStart = 26 + 2 * 12;
    const QByteArray appleDouble = QByteArray::fromHex("0005160700020000") + QByteArray(16, '\0') + QByteArray::fromHex("0002")
        + bigEndian(9) + bigEndian(dataStart) + bigEndian(quint32(finderInfo.size()))
        + bigEndian(2) + bigEndian(dataStart + quint32(finderInfo.size())) + bigEndian(quint32(fork.size()))
        + finderInfo + fork;
    const QString source = path(QStringLiteral("src"));
    writeFile(source + QStringLiteral("/a.txt"), "text");
    writeFile(source + QStringLiteral("/__MACOSX/._a.txt"), appleDouble);
    const QString zipPath = path(QStringLiteral("mac.zip"));
    ASSERT_EQ(ZKFileArchive::archiveWithArchivePath(zipPath)->deflateDirectory(source, source, false), 1);

    const QString plain = path(QStringLiteral("plain"));
    ASSERT_EQ(expand(zipPath, plain, false), 1);
    EXPECT_FALSE(QFileInfo::exists(plain + QStringLiteral("/__MACOSX")));
    char buffer[256];
    EXPECT_LT(getxattr(QFile::encodeName(plain + QStringLiteral("/a.txt")).constData(), "user.com.apple.FinderInfo", buffer, sizeof buffer), 0);

    const QString merged = path(QStringLiteral("merged"));
    ASSERT_EQ(expand(zipPath, merged, true), 1);
    EXPECT_FALSE(QFileInfo::exists(merged + QStringLiteral("/__MACOSX")));
    const QByteArray target = QFile::encodeName(merged + QStringLiteral("/a.txt"));
    const ssize_t length = getxattr(target.constData(), "user.com.apple.FinderInfo", buffer, sizeof buffer);
    if (length < 0 && errno == ENOTSUP)
        GTEST_SKIP() << "no extended attributes on this file system";
    EXPECT_EQ(QByteArray(buffer, int(length)), finderInfo);
    const ssize_t forkLength = getxattr(target.constData(), "user.com.apple.ResourceFork", buffer, sizeof buffer);
    EXPECT_EQ(QByteArray(buffer, int(qMax<ssize_t>(forkLength, 0))), fork);
}

TEST_F(ZKFileArchiveTest, AddingToAnArchiveKeepsItsEntriesAndSkipsTheArchiveItself) {
    const QString folder = path(QStringLiteral("f"));
    writeFile(folder + QStringLiteral("/one.txt"), "1");
    const QString zipPath = folder + QStringLiteral("/self.zip");
    ASSERT_EQ(ZKFileArchive::archiveWithArchivePath(zipPath)->deflateDirectory(folder, folder, false), 1);
    writeFile(path(QStringLiteral("two.txt")), "2");
    ASSERT_EQ(ZKFileArchive::archiveWithArchivePath(zipPath)->deflateFile(path(QStringLiteral("two.txt")), path(QString()), false), 1);
    const auto archive = ZKFileArchive::archiveWithArchivePath(zipPath);
    ASSERT_TRUE(archive);
    QStringList names;
    for (const ZKCDHeader& header : archive->centralDirectory())
        names << header.filename();
    EXPECT_EQ(names, QStringList({QStringLiteral("one.txt"), QStringLiteral("two.txt")}));
    EXPECT_EQ(run(QStringLiteral("unzip"), {QStringLiteral("-t"), zipPath}).exitCode, 0);
    EXPECT_EQ(archive->deflateFile(path(QStringLiteral("two.txt")), folder, false), -1);  // not below the base
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
