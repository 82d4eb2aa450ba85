#include "ZipTestSupport.h"
#include "zip/ZKDataAdditions.h"
#include "zip/ZKDataArchive.h"
#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace ZipTestSupport;

// Entries added one by one read back from the bytes with their dates and permissions; a nameless
// one changes nothing.
TEST(ZKDataArchive, EntriesAddedOneByOneReadBackWithTheirAttributes) {
    const QByteArray bookXml = "<?xml version=\"1.0\"?>\n<book>" + QByteArray(2000, 'p') + "</book>\n";
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData(bookXml, "book.xml"), 1);
    ZKFileAttributes dated;
    dated.modificationDate = QDateTime(QDate(2020, 2, 2), QTime(2, 2, 2));
    dated.posixPermissions = 0600;
    ASSERT_EQ(archive.deflateData("second", "dir/b.txt", dated), 1);
    const QByteArray whole = archive.data();
    EXPECT_EQ(archive.deflateData("y", QString()), -1);   // an empty name changes nothing
    EXPECT_EQ(archive.data(), whole);

    const auto again = ZKDataArchive::archiveWithArchiveData(whole);
    ASSERT_TRUE(again);
    const QList<std::tuple<QString, QByteArray, int>> expected = {{"book.xml", bookXml, 0755}, {"dir/b.txt", "second", 0600}};
    ASSERT_EQ(again->centralDirectory().size(), expected.size());
    for (int i = 0; i < expected.size(); ++i) {
        const auto& [name, bytes, mode] = expected[i];
        ZKFileAttributes read;
        EXPECT_EQ(again->centralDirectory()[i].filename(), name);
        EXPECT_EQ(again->inflateFile(again->centralDirectory()[i], &read), bytes) << i;
        EXPECT_EQ(read.posixPermissions, mode) << i;
        if (i == 1)
            EXPECT_EQ(read.modificationDate, dated.modificationDate);
    }
}

// What outside tools make of our archives is checked on archive files and on book.bin.
TEST(ZKDataArchive, ReadsStoredDeflatedAndFolderEntriesPythonWrites) {
    QTemporaryDir temp;
    const QString theirs = temp.filePath("py.zip");
    const auto made = python(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('stored.txt', b'plain bytes' * 50, compress_type=zipfile.ZIP_STORED)
    z.writestr('deflated.txt', b'squeezed bytes' * 500, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('dir/', b'')
)", {theirs});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    const auto read = ZKDataArchive::archiveWithArchiveData(readFile(theirs));
    ASSERT_TRUE(read);
    ASSERT_EQ(read->centralDirectory().size(), 3);
    EXPECT_EQ(read->inflateFile(read->centralDirectory()[0]), QByteArray("plain bytes").repeated(50));
    EXPECT_EQ(read->inflateFile(read->centralDirectory()[1]), QByteArray("squeezed bytes").repeated(500));
    EXPECT_TRUE(read->centralDirectory()[2].isDirectory());
}

TEST(ZKDataAdditions, InflateRefusesBrokenAndOversizedStreams) {
    const QByteArray data(1 << 20, 'z');
    const auto packed = zk_deflate(data);
    ASSERT_TRUE(packed);
    EXPECT_FALSE(zk_inflate(packed->left(packed->size() / 2)));
    EXPECT_FALSE(zk_inflate(*packed, data.size() - 1));
    EXPECT_TRUE(zk_inflate(*packed, data.size()));
    EXPECT_FALSE(zk_inflate(QByteArray("\xff\xff\xff garbage", 12)));
    EXPECT_EQ(zk_crc32(QByteArray("56789"), zk_crc32(QByteArray("1234"))), 0xCBF43926u);
}
