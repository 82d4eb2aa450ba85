#include "ZipTestSupport.h"
#include "zip/ZKDataAdditions.h"
#include "zip/ZKDataArchive.h"
#include <gtest/gtest.h>
#include <QTemporaryDir>

using namespace ZipTestSupport;

namespace {
const QByteArray kBookXml = "<?xml version=\"1.0\"?>\n<book>" + QByteArray(2000, 'p') + "</book>\n";
}

TEST(ZKDataArchive, OneEntryReadsBackWithNameSizesCrcAndBytes) {
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData(kBookXml, QStringLiteral("book.xml")), 1);
    const QByteArray& data = archive.data();
    EXPECT_TRUE(data.startsWith(QByteArray("PK\x03\x04", 4)));
    EXPECT_EQ(data.mid(30, 8), "book.xml");
    EXPECT_TRUE(data.endsWith("Archive created with ZipKit"));

    const auto reopened = ZKDataArchive::archiveWithArchiveData(data);
    ASSERT_TRUE(reopened);
    ASSERT_EQ(reopened->centralDirectory().size(), 1);
    const ZKCDHeader& entry = reopened->centralDirectory().first();
    EXPECT_EQ(entry.filename(), QStringLiteral("book.xml"));
    EXPECT_EQ(entry.uncompressedSize(), quint64(kBookXml.size()));
    EXPECT_EQ(entry.crc(), zk_crc32(kBookXml));
    ZKFileAttributes attributes;
    attributes.posixPermissions = 0;
    EXPECT_EQ(reopened->inflateFile(entry, &attributes), kBookXml);
    EXPECT_EQ(attributes.fileType, ZKFileAttributes::FileType::Regular);
    EXPECT_EQ(attributes.posixPermissions, 0755);
}

TEST(ZKDataArchive, SecondEntryKeepsTheFirstAndRewritesOneDirectory) {
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData("first", QStringLiteral("a.txt")), 1);
    const QByteArray before = archive.data().left(qsizetype(archive.cdTrailer().offsetOfStartOfCentralDirectory()));
    ZKFileAttributes attributes;
    attributes.modificationDate = QDateTime(QDate(2020, 2, 2), QTime(2, 2, 2));
    attributes.posixPermissions = 0600;
    ASSERT_EQ(archive.deflateData("second", QStringLiteral("dir/b.txt"), attributes), 1);
    EXPECT_TRUE(archive.data().startsWith(before));

    const auto reopened = ZKDataArchive::archiveWithArchiveData(archive.data());
    ASSERT_TRUE(reopened);
    ASSERT_EQ(reopened->centralDirectory().size(), 2);
    EXPECT_EQ(reopened->inflateFile(reopened->centralDirectory()[0]), QByteArray("first"));
    const ZKCDHeader& second = reopened->centralDirectory()[1];
    ZKFileAttributes read;
    EXPECT_EQ(reopened->inflateFile(second, &read), QByteArray("second"));
    EXPECT_EQ(read.posixPermissions, 0600);
    EXPECT_EQ(read.modificationDate, attributes.modificationDate);

    // Adding to an archive opened from bytes keeps going where its directory was.
    ASSERT_EQ(reopened->deflateData("third", QStringLiteral("c.txt")), 1);
    const auto again = ZKDataArchive::archiveWithArchiveData(reopened->data());
    ASSERT_TRUE(again);
    ASSERT_EQ(again->centralDirectory().size(), 3);
    EXPECT_EQ(again->inflateFile(again->centralDirectory()[2]), QByteArray("third"));
}

TEST(ZKDataArchive, EmptyNameFailsAndChangesNothing) {
    ZKDataArchive archive;
    ASSERT_EQ(archive.deflateData("x", QStringLiteral("x.txt")), 1);
    const QByteArray before = archive.data();
    EXPECT_EQ(archive.deflateData("y", QString()), -1);
    EXPECT_EQ(archive.data(), before);
    EXPECT_EQ(archive.centralDirectory().size(), 1);
}

TEST(ZKDataArchive, LinksAndFoldersComeBackAsTheirTargetAndName) {
    ZKDataArchive archive;
    ZKFileAttributes link;
    link.fileType = ZKFileAttributes::FileType::SymbolicLink;
    link.posixPermissions = 0777;
    ASSERT_EQ(archive.deflateData("page/1.jpg", QStringLiteral("cover.jpg"), link), 1);
    ZKFileAttributes folder;
    folder.fileType = ZKFileAttributes::FileType::Directory;
    ASSERT_EQ(archive.deflateData({}, QStringLiteral("files/"), folder), 1);
    const auto reopened = ZKDataArchive::archiveWithArchiveData(archive.data());
    ASSERT_TRUE(reopened);
    ZKFileAttributes read;
    EXPECT_EQ(reopened->inflateFile(reopened->centralDirectory()[0], &read), QByteArray("page/1.jpg"));
    EXPECT_EQ(read.fileType, ZKFileAttributes::FileType::SymbolicLink);
    EXPECT_EQ(reopened->inflateFile(reopened->centralDirectory()[1], &read), QByteArray("files/"));
    EXPECT_EQ(read.fileType, ZKFileAttributes::FileType::Directory);
}

TEST(ZKDataArchive, OutsideToolsAcceptWhatWeWrite) {
    QTemporaryDir temp;
    ZKDataArchive archive;
    const QByteArray big = sampleBytes(600 * 1024, 7);
    ASSERT_EQ(archive.deflateData(kBookXml, QStringLiteral("book.xml")), 1);
    ASSERT_EQ(archive.deflateData(big, QString::fromUtf8("pages/Seite ü.bin")), 1);
    ASSERT_EQ(archive.deflateData({}, QStringLiteral("empty.txt")), 1);
    const QString path = temp.filePath(QStringLiteral("memory.zip"));
    writeFile(path, archive.data());

    const auto unzip = run(QStringLiteral("unzip"), {QStringLiteral("-t"), path});
    EXPECT_EQ(unzip.exitCode, 0) << unzip.out.constData() << unzip.err.constData();

    const auto listing = python(QString::fromLatin1(kPythonListing), {path});
    ASSERT_EQ(listing.exitCode, 0) << listing.err.constData();
    const auto lines = QString::fromUtf8(listing.out).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 3);
    const QByteArray expected[] = {kBookXml, big, {}};
    const QString names[] = {QStringLiteral("book.xml"), QString::fromUtf8("pages/Seite ü.bin"), QStringLiteral("empty.txt")};
    for (int i = 0; i < 3; ++i) {
        const auto fields = lines[i].split(QLatin1Char('\t'));
        EXPECT_EQ(fields[0], names[i]);
        EXPECT_EQ(QByteArray::fromBase64(fields[1].toLatin1()), expected[i]) << i;
    }
}

TEST(ZKDataArchive, ReadsWhatPythonWritesStoredAndDeflated) {
    QTemporaryDir temp;
    const QString path = temp.filePath(QStringLiteral("py.zip"));
    const auto made = python(QStringLiteral(R"(
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], 'w') as z:
    z.writestr('stored.txt', b'plain bytes' * 50, compress_type=zipfile.ZIP_STORED)
    z.writestr('deflated.txt', b'squeezed bytes' * 500, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('dir/', b'')
)"), {path});
    ASSERT_EQ(made.exitCode, 0) << made.err.constData();
    const auto archive = ZKDataArchive::archiveWithArchiveData(readFile(path));
    ASSERT_TRUE(archive);
    ASSERT_EQ(archive->centralDirectory().size(), 3);
    EXPECT_EQ(archive->inflateFile(archive->centralDirectory()[0]), QByteArray("plain bytes").repeated(50));
    EXPECT_EQ(archive->inflateFile(archive->centralDirectory()[1]), QByteArray("squeezed bytes").repeated(500));
    EXPECT_TRUE(archive->centralDirectory()[2].isDirectory());
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
