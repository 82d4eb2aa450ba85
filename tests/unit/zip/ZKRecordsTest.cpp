#include "zip/records/ZKCDHeader.h"
#include "zip/records/ZKCDTrailer.h"
#include "zip/records/ZKCDTrailer64.h"
#include "zip/records/ZKCDTrailer64Locator.h"
#include "zip/records/ZKLFHeader.h"
#include "zip/records/ZKZip64ExtraField.h"
#include <gtest/gtest.h>
#include <QtEndian>

namespace {
constexpr quint64 kFiveGiB = 5ull << 30;
}

// The layout of ordinary records is checked by outside tools reading our archives; these are
// the cases those tools do not reach. Name bytes that are not UTF-8 keep the name's length.
TEST(ZKRecordLayout, DatesNamesAndFileTypesReadBack) {
    ZKLFHeader header;
    header.setFilename("cafe\u0301.txt");
    header.setLastModDate(QDateTime(QDate(2010, 3, 14), QTime(15, 9, 27)));
    const auto parsed = ZKLFHeader::recordWithData(header.data(), 0);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->lastModDate(), QDateTime(QDate(2010, 3, 14), QTime(15, 9, 26)));   // odd seconds round down
    EXPECT_EQ(parsed->filename(), "caf\u00e9.txt");                                     // written precomposed
    header.setFilename("abcd");
    const auto broken = ZKLFHeader::recordWithData(header.data().replace("bc", "\xFF\x81"), 0);
    ASSERT_TRUE(broken);
    EXPECT_EQ(broken->filename(), "a??d");
    EXPECT_EQ(broken->length(), 34);

    const struct { quint32 attributes; const char* name; bool link, folder; } cases[] = {
        {0x81ED0000, "a.txt", false, false}, {0xA1FF4000, "l", true, false}, {0x41ED4000, "d/", false, true},
        {0x10, "empty/", false, true},   // written by a tool that records no Unix type
    };
    for (const auto& c : cases) {
        ZKCDHeader central;
        central.setFilename(c.name);
        central.setExternalFileAttributes(c.attributes);
        EXPECT_EQ(QList<bool>({central.isSymLink(), central.isDirectory()}), QList<bool>({c.link, c.folder})) << c.name;
    }
}

// The end record is found behind any comment and at offset zero; anything else gives no record.
TEST(ZKRecordParsing, RecordsAreFoundWhereTheyAreAndNowhereElse) {
    ZKCDHeader header;
    header.setFilename("name.txt");
    const QByteArray bytes = header.data();
    EXPECT_FALSE(ZKCDHeader::recordWithData(bytes, 1));
    EXPECT_FALSE(ZKLFHeader::recordWithData(bytes, 0));
    EXPECT_FALSE(ZKCDHeader::recordWithData(bytes, -5));
    EXPECT_FALSE(ZKCDHeader::recordWithData(bytes, bytes.size() + 10));
    for (int cut = 0; cut < bytes.size(); ++cut)
        EXPECT_FALSE(ZKCDHeader::recordWithData(bytes.left(cut), 0)) << cut;
    EXPECT_FALSE(ZKCDTrailer64::recordWithData(QByteArray("PK\x06\x06", 4), 0));
    EXPECT_FALSE(ZKCDTrailer64Locator::recordWithData(QByteArray("PK\x06\x07", 4), 0));

    ZKCDTrailer trailer;
    trailer.setComment("a comment holding PK\x05\x06 inside");
    const auto found = ZKCDTrailer::recordWithData(QByteArray(100, 'x') + trailer.data());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->recordOffset(), 100);
    EXPECT_EQ(found->comment(), trailer.comment());
    const auto empty = ZKCDTrailer::recordWithData(ZKCDTrailer().data());
    ASSERT_TRUE(empty);
    EXPECT_EQ(empty->recordOffset(), 0);
    EXPECT_FALSE(ZKCDTrailer::recordWithData(QByteArray(5000, 'P')));
    EXPECT_FALSE(ZKCDTrailer::recordWithData(QByteArray()));
}

// From exactly 0xFFFFFFFF on, sizes and offsets go into the zip64 block (and the version needed
// goes to 4.5); whatever the size, both headers read back what was set. A header forced to zip64
// before a large file is compressed keeps its length once the sizes are in.
TEST(ZKZip64Records, LargeSizesOffsetsAndEndRecordsSurviveARoundTrip) {
    const struct { quint64 size, compressed, offset; int version; bool forced; } cases[] = {
        {0xFFFFFFFEull, 10, 0, 20, false},
        {0xFFFFFFFFull, 0xFFFFFFFFull, 0, 45, false},
        {kFiveGiB + 1, kFiveGiB - 7, 2 * kFiveGiB, 45, false},
        {34, 12, 0, 45, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.size);
        ZKCDHeader central;
        ZKLFHeader local;
        local.setForcesZip64(c.forced);
        local.setFilename("big.bin");
        const qint64 reserved = local.data().size();
        const auto fill = [&c](auto& header) {
            header.setFilename("big.bin");
            header.setUncompressedSize(c.size);
            header.setCompressedSize(c.compressed);
            EXPECT_EQ(header.data().size(), header.length());
        };
        fill(central);
        fill(local);
        EXPECT_EQ(local.versionNeededToExtract(), c.version);
        if (c.forced)
            EXPECT_EQ(local.data().size(), reserved);
        central.setLocalHeaderOffset(c.offset);
        const auto readCentral = ZKCDHeader::recordWithData(central.data(), 0);
        const auto readLocal = ZKLFHeader::recordWithData(local.data(), 0);
        ASSERT_TRUE(readCentral && readLocal);
        EXPECT_EQ(readCentral->uncompressedSize() + readLocal->uncompressedSize(), 2 * c.size);
        EXPECT_EQ(readCentral->compressedSize() + readLocal->compressedSize(), 2 * c.compressed);
        EXPECT_EQ(readCentral->localHeaderOffset(), c.offset);
    }

    // Another writer's entry with small sizes and an offset past 4 GiB: its block holds the offset only.
    QByteArray bytes = ZKCDHeader().data();
    const QByteArray block = ZKZip64ExtraField::make({kFiveGiB});
    qToLittleEndian<quint32>(0xFFFFFFFF, bytes.data() + 42);
    qToLittleEndian<quint32>(17, bytes.data() + 20);
    qToLittleEndian<quint16>(quint16(block.size()), bytes.data() + 30);
    const auto late = ZKCDHeader::recordWithData(bytes + block, 0);
    ASSERT_TRUE(late);
    EXPECT_EQ(late->compressedSize(), 17u);
    EXPECT_EQ(late->localHeaderOffset(), kFiveGiB);

    // End records past 4 GiB.
    ZKCDTrailer trailer;
    trailer.setOffsetOfStartOfCentralDirectory(kFiveGiB);
    trailer.setTotalNumberOfCentralDirectoryEntries(70000);
    EXPECT_TRUE(trailer.useZip64Extensions());
    EXPECT_EQ(qFromLittleEndian<quint16>(trailer.data().constData() + 10), 0xFFFF);
    EXPECT_EQ(qFromLittleEndian<quint32>(trailer.data().constData() + 16), 0xFFFFFFFFu);

    ZKCDTrailer64 trailer64;
    trailer64.totalNumberOfCentralDirectoryEntries = 70000;
    trailer64.offsetOfStartOfCentralDirectory = kFiveGiB;
    const auto parsed64 = ZKCDTrailer64::recordWithData(trailer64.data(), 0);
    ASSERT_TRUE(parsed64);
    EXPECT_EQ(parsed64->totalNumberOfCentralDirectoryEntries, 70000u);
    EXPECT_EQ(parsed64->offsetOfStartOfCentralDirectory, kFiveGiB);
    ZKCDTrailer64Locator locator;
    locator.offsetOfStartOfCentralDirectoryTrailer64 = kFiveGiB + 123;
    const auto parsedLocator = ZKCDTrailer64Locator::recordWithData(locator.data(), 0);
    ASSERT_TRUE(parsedLocator);
    EXPECT_EQ(parsedLocator->offsetOfStartOfCentralDirectoryTrailer64, kFiveGiB + 123);
}
