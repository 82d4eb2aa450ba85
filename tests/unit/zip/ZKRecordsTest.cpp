#include "zip/records/ZKCDHeader.h"
#include "zip/records/ZKCDTrailer.h"
#include "zip/records/ZKCDTrailer64.h"
#include "zip/records/ZKCDTrailer64Locator.h"
#include "zip/records/ZKLFHeader.h"
#include "zip/records/ZKZip64ExtraField.h"
#include <gtest/gtest.h>
#include <QtEndian>

namespace {
quint16 u16At(const QByteArray& b, int at) { return qFromLittleEndian<quint16>(b.constData() + at); }
quint32 u32At(const QByteArray& b, int at) { return qFromLittleEndian<quint32>(b.constData() + at); }
constexpr quint64 kFiveGiB = 5ull << 30;
}

TEST(ZKRecordLayout, LocalHeaderForBookXmlIs38BytesWithLengthsInPlace) {
    ZKLFHeader header;
    header.setFilename(QStringLiteral("book.xml"));
    const QByteArray bytes = header.data();
    EXPECT_EQ(bytes.size(), 38);
    EXPECT_EQ(header.length(), 38);
    EXPECT_EQ(bytes.left(4), QByteArray("PK\x03\x04", 4));
    EXPECT_EQ(u16At(bytes, 4), 20);
    EXPECT_EQ(u16At(bytes, 8), 8);
    EXPECT_EQ(u16At(bytes, 26), 8);
    EXPECT_EQ(u16At(bytes, 28), 0);
    EXPECT_EQ(bytes.mid(30), "book.xml");
}

TEST(ZKRecordLayout, NewEndRecordCarriesTheDefaultComment) {
    const QByteArray bytes = ZKCDTrailer().data();
    EXPECT_EQ(bytes.size(), 22 + 27);
    EXPECT_TRUE(bytes.endsWith("Archive created with ZipKit"));
    EXPECT_EQ(u16At(bytes, 20), 27);
}

TEST(ZKRecordLayout, DosDateRoundsOddSecondsDown) {
    ZKLFHeader header;
    header.setLastModDate(QDateTime(QDate(2010, 3, 14), QTime(15, 9, 27)));
    const auto parsed = ZKLFHeader::recordWithData(header.data(), 0);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->lastModDate(), QDateTime(QDate(2010, 3, 14), QTime(15, 9, 26)));
}

TEST(ZKRecordLayout, NamesAreWrittenPrecomposedAndFlaggedAsUtf8) {
    ZKCDHeader header;
    const QString decomposed = QStringLiteral("cafe\u0301.txt");
    header.setFilename(decomposed);
    const QByteArray precomposed = QStringLiteral("caf\u00e9.txt").toUtf8();
    EXPECT_EQ(header.filenameLength(), precomposed.size());
    const QByteArray bytes = header.data();
    EXPECT_EQ(u16At(bytes, 28), precomposed.size());
    EXPECT_EQ(bytes.mid(46, precomposed.size()), precomposed);
    EXPECT_EQ(u16At(bytes, 8) & 0x0800, 0x0800);

    ZKLFHeader ascii;
    ascii.setFilename(QStringLiteral("book.xml"));
    EXPECT_EQ(u16At(ascii.data(), 6), 0);
}

TEST(ZKRecordLayout, InvalidUtf8NamesKeepTheirLengthWithQuestionMarks) {
    ZKLFHeader header;
    header.setFilename(QStringLiteral("abcd"));
    QByteArray bytes = header.data();
    bytes[31] = char(0xFF);
    bytes[32] = char(0x81);
    const auto parsed = ZKLFHeader::recordWithData(bytes, 0);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->filename(), QStringLiteral("a??d"));
    EXPECT_EQ(parsed->length(), 34);
}

TEST(ZKRecordLayout, ExternalAttributesReadBack) {
    ZKCDHeader header;
    EXPECT_EQ(header.posixPermissions(), 0755);
    EXPECT_FALSE(header.isDirectory());
    EXPECT_FALSE(header.isSymLink());
    header.setExternalFileAttributes(0xA1FF4000);
    EXPECT_TRUE(header.isSymLink());
    EXPECT_FALSE(header.isDirectory());
    header.setExternalFileAttributes(0x41ED4000);
    EXPECT_TRUE(header.isDirectory());
    EXPECT_EQ(header.posixPermissions(), 0755);
    // A folder written by a tool that records no Unix type is still a folder.
    header.setExternalFileAttributes(0x10);
    header.setFilename(QStringLiteral("empty/"));
    EXPECT_TRUE(header.isDirectory());
    header.setFilename(QStringLiteral("__MACOSX/._a.txt"));
    EXPECT_TRUE(header.isResourceFork());
}

TEST(ZKRecordParsing, WrongSignatureOrShortBufferGivesNoRecord) {
    ZKCDHeader header;
    header.setFilename(QStringLiteral("name.txt"));
    const QByteArray bytes = header.data();
    EXPECT_FALSE(ZKCDHeader::recordWithData(bytes, 1));
    EXPECT_FALSE(ZKLFHeader::recordWithData(bytes, 0));
    EXPECT_FALSE(ZKCDHeader::recordWithData(bytes, -5));
    EXPECT_FALSE(ZKCDHeader::recordWithData(bytes, bytes.size() + 10));
    for (int cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(ZKCDHeader::recordWithData(bytes.left(cut), 0)) << cut;
    EXPECT_FALSE(ZKCDTrailer64::recordWithData(QByteArray("PK\x06\x06", 4), 0));
    EXPECT_FALSE(ZKCDTrailer64Locator::recordWithData(QByteArray("PK\x06\x07", 4), 0));
}

TEST(ZKRecordParsing, EndRecordIsFoundBehindAnyCommentAndAtOffsetZero) {
    ZKCDTrailer trailer;
    trailer.setComment(QStringLiteral("a comment holding PK\x05\x06 inside"));
    trailer.setTotalNumberOfCentralDirectoryEntries(3);
    const QByteArray bytes = QByteArray(100, 'x') + trailer.data();
    const auto found = ZKCDTrailer::recordWithData(bytes);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->recordOffset(), 100);
    EXPECT_EQ(found->totalNumberOfCentralDirectoryEntries(), 3u);
    EXPECT_EQ(found->comment(), trailer.comment());

    // An archive without entries is nothing but its end record.
    const auto empty = ZKCDTrailer::recordWithData(ZKCDTrailer().data());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->recordOffset(), 0);
    EXPECT_FALSE(ZKCDTrailer::recordWithData(QByteArray(5000, 'P')));
    EXPECT_FALSE(ZKCDTrailer::recordWithData(QByteArray()));
}

TEST(ZKZip64Records, EntryOfExactly4GiBMinusOneUsesZip64) {
    const quint64 size = 4294967295ull;
    ZKLFHeader local;
    local.setFilename(QStringLiteral("big.bin"));
    local.setUncompressedSize(size);
    local.setCompressedSize(size);
    EXPECT_TRUE(local.useZip64Extensions());
    EXPECT_EQ(local.versionNeededToExtract(), 45);
    const QByteArray localBytes = local.data();
    EXPECT_EQ(u32At(localBytes, 18), 0xFFFFFFFFu);
    EXPECT_EQ(u32At(localBytes, 22), 0xFFFFFFFFu);
    EXPECT_EQ(u16At(localBytes, 28), 20);
    EXPECT_EQ(localBytes.size(), local.length());

    ZKCDHeader central;
    central.setFilename(QStringLiteral("big.bin"));
    central.setUncompressedSize(size);
    central.setCompressedSize(size);
    EXPECT_EQ(central.versionNeededToExtract(), 45);
    const QByteArray centralBytes = central.data();
    EXPECT_EQ(u16At(centralBytes, 30), 28);
    EXPECT_EQ(u32At(centralBytes, 42), 0xFFFFFFFFu);
    EXPECT_EQ(centralBytes.size(), central.length());

    central.setUncompressedSize(size - 1);
    central.setCompressedSize(10);
    EXPECT_EQ(central.versionNeededToExtract(), 20);
    EXPECT_EQ(central.data().size(), 46 + 7);
}

TEST(ZKZip64Records, AForcedZip64HeaderKeepsItsLengthWhateverTheSizes) {
    // A header written before a large file is compressed must not change length once the sizes are in.
    ZKLFHeader header;
    header.setFilename(QStringLiteral("maybe-big.bin"));
    header.setForcesZip64(true);
    const qint64 reserved = header.data().size();
    header.setCompressedSize(12);
    header.setUncompressedSize(34);
    EXPECT_EQ(header.data().size(), reserved);
    EXPECT_EQ(header.length(), reserved);
    EXPECT_EQ(header.versionNeededToExtract(), 45);
    const auto parsed = ZKLFHeader::recordWithData(header.data(), 0);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->compressedSize(), 12u);
    EXPECT_EQ(parsed->uncompressedSize(), 34u);
}

TEST(ZKZip64Records, SizesAndOffsetsPast4GiBSurviveARoundTrip) {
    ZKLFHeader local;
    local.setFilename(QStringLiteral("huge.iso"));
    local.setUncompressedSize(kFiveGiB + 1);
    local.setCompressedSize(kFiveGiB - 7);
    const auto parsedLocal = ZKLFHeader::recordWithData(local.data(), 0);
    ASSERT_TRUE(parsedLocal);
    EXPECT_EQ(parsedLocal->uncompressedSize(), kFiveGiB + 1);
    EXPECT_EQ(parsedLocal->compressedSize(), kFiveGiB - 7);

    ZKCDHeader central;
    central.setFilename(QStringLiteral("huge.iso"));
    central.setUncompressedSize(kFiveGiB + 1);
    central.setCompressedSize(kFiveGiB - 7);
    central.setLocalHeaderOffset(kFiveGiB * 2);
    const auto parsedCentral = ZKCDHeader::recordWithData(central.data(), 0);
    ASSERT_TRUE(parsedCentral);
    EXPECT_EQ(parsedCentral->uncompressedSize(), kFiveGiB + 1);
    EXPECT_EQ(parsedCentral->compressedSize(), kFiveGiB - 7);
    EXPECT_EQ(parsedCentral->localHeaderOffset(), kFiveGiB * 2);
    EXPECT_TRUE(parsedCentral->useZip64Extensions());

    ZKCDTrailer64 trailer64;
    trailer64.totalNumberOfCentralDirectoryEntries = 70000;
    trailer64.offsetOfStartOfCentralDirectory = kFiveGiB;
    const auto parsed64 = ZKCDTrailer64::recordWithData(trailer64.data(), 0);
    ASSERT_TRUE(parsed64);
    EXPECT_EQ(trailer64.data().size(), 56);
    EXPECT_EQ(parsed64->totalNumberOfCentralDirectoryEntries, 70000u);
    EXPECT_EQ(parsed64->offsetOfStartOfCentralDirectory, kFiveGiB);
    EXPECT_EQ(parsed64->sizeOfTrailer, 44u);
}

TEST(ZKZip64Records, OnlySaturatedFieldsAreTakenFromTheExtraBlock) {
    // Another writer's entry: small sizes, an offset past 4 GiB, so its block holds the offset only.
    ZKCDHeader small;
    small.setFilename(QStringLiteral("late.txt"));
    QByteArray bytes = small.data();
    const QByteArray block = ZKZip64ExtraField::make({kFiveGiB});
    qToLittleEndian<quint32>(0xFFFFFFFF, bytes.data() + 42);
    qToLittleEndian<quint32>(17, bytes.data() + 20);
    qToLittleEndian<quint32>(40, bytes.data() + 24);
    qToLittleEndian<quint16>(quint16(block.size()), bytes.data() + 30);
    bytes.append(block);
    const auto parsed = ZKCDHeader::recordWithData(bytes, 0);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->compressedSize(), 17u);
    EXPECT_EQ(parsed->uncompressedSize(), 40u);
    EXPECT_EQ(parsed->localHeaderOffset(), kFiveGiB);
}

TEST(ZKZip64Records, EndRecordSaturatesWhenItNeedsZip64) {
    ZKCDTrailer trailer;
    trailer.setOffsetOfStartOfCentralDirectory(kFiveGiB);
    trailer.setTotalNumberOfCentralDirectoryEntries(70000);
    EXPECT_TRUE(trailer.useZip64Extensions());
    const QByteArray bytes = trailer.data();
    EXPECT_EQ(u16At(bytes, 10), 0xFFFF);
    EXPECT_EQ(u32At(bytes, 12), 0xFFFFFFFFu);
    EXPECT_EQ(u32At(bytes, 16), 0xFFFFFFFFu);
    ZKCDTrailer64Locator locator;
    locator.offsetOfStartOfCentralDirectoryTrailer64 = kFiveGiB + 123;
    const auto parsed = ZKCDTrailer64Locator::recordWithData(locator.data(), 0);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->offsetOfStartOfCentralDirectoryTrailer64, kFiveGiB + 123);
    EXPECT_EQ(parsed->numberOfDisks, 1u);
}
