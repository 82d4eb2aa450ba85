#include "ZipTestSupport.h"
#include "zip/ZKDataAdditions.h"
#include "zip/ZKDataArchive.h"
#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace ZipTestSupport;

namespace {
const QByteArray kBookXml = "<?xml version=\"1.0\"?>\n<book>" + QByteArray(2000, 'p') + "</book>\n";
}

TEST(ZKDataArchive, EntriesAddedOneByOneReadBackWithTheirAttributes) {
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData(kBookXml, QStringLiteral("book.xml")), 1);
    const QByteArray before = archive.data().left(qsizetype(archive.cdTrailer().offsetOfStartOfCentralDirectory()));
    ZKFileAttributes dated;
    dated.modificationDate = QDateTime(QDate(2020, 2, 2), QTime(2, 2, 2));
    dated.posixPermissions = 0600;
    ASSERT_EQ(archive.deflateData("second", QStringLiteral("dir/b.txt"), dated), 1);
    EXPECT_TRUE(archive.data().startsWith(before));   // the first entry stays; one directory is rewritten
    ZKFileAttributes link;
    link.fileType = ZKFileAttributes::FileType::SymbolicLink;
    ASSERT_EQ(archive.deflateData("page/1.jpg", QStringLiteral("cover.jpg"), link), 1);
    ZKFileAttributes folder;
    folder.fileType = ZKFileAttributes::FileType::Directory;
    ASSERT_EQ(archive.deflateData({}, QStringLiteral("files/"), folder), 1);
    const QByteArray whole = archive.data();
    EXPECT_EQ(archive.deflateData("y", QString()), -1);   // an empty name changes nothing
    EXPECT_EQ(archive.data(), whole);

    const auto reopened = ZKDataArchive::archiveWithArchiveData(whole);
    ASSERT_TRUE(reopened);
    const struct { const char* name; QByteArray bytes; ZKFileAttributes::FileType type; int mode; } expected[] = {
        {"book.xml", kBookXml, ZKFileAttributes::FileType::Regular, 0755},
        {"dir/b.txt", "second", ZKFileAttributes::FileType::Regular, 0600},
        {"cover.jpg", "page/1.jpg", ZKFileAttributes::FileType::SymbolicLink, -1},
        {"files/", "files/", ZKFileAttributes::FileType::Directory, -1},
    };
    ASSERT_EQ(reopened->centralDirectory().size(), 4);
    for (int i = 0; i < 4; ++i) {
        const ZKCDHeader& entry = reopened->centralDirectory()[i];
        EXPECT_EQ(entry.filename(), QString::fromLatin1(expected[i].name));
        ZKFileAttributes read;
        read.posixPermissions = 0;
        EXPECT_EQ(reopened->inflateFile(entry, &read), expected[i].bytes) << i;
        EXPECT_EQ(read.fileType, expected[i].type) << i;
        if (expected[i].mode >= 0)
            EXPECT_EQ(read.posixPermissions, expected[i].mode) << i;
    }
    ZKFileAttributes read;
    reopened->inflateFile(reopened->centralDirectory()[1], &read);
    EXPECT_EQ(read.modificationDate, dated.modificationDate);

    // Adding to an archive opened from bytes keeps going where its directory was.
    ASSERT_EQ(reopened->deflateData("third", QStringLiteral("c.txt")), 1);
    const auto again = ZKDataArchive::archiveWithArchiveData(reopened->data());
    ASSERT_TRUE(again);
    ASSERT_EQ(again->centralDirectory().size(), 5);
    EXPECT_EQ(again->inflateFile(again->centralDirectory()[4]), QByteArray("third"));
}

// What outside tools make of our archives is checked on archive files and on book.bin.
TEST(ZKDataArchive, ReadsStoredDeflatedAndFolderEntriesPythonWrites) {
    QTemporaryDir temp;
    const QString theirs = temp.filePath(QStringLiteral("py.zip"));
    const auto made = python(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('stored.txt', b'plain bytes' * 50, compress_type=zipfile.ZIP_STORED)
    z.writestr('deflated.txt', b'squeezed bytes' * 500, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('dir/', b'')
)"), {theirs});
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
