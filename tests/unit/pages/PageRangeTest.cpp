#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include <QFileInfo>
#include <climits>
#include <gtest/gtest.h>

using Pages = QList<int>;

TEST(ParsePageRange, AllSelectsEveryPageWhateverTheCase) {
    EXPECT_EQ(FlashPageSource::parsePageRange("all", 3), (Pages{1, 2, 3}));
    EXPECT_EQ(FlashPageSource::parsePageRange("All", 2), (Pages{1, 2}));
    EXPECT_EQ(FlashPageSource::parsePageRange("ALL", 0), Pages{});
    EXPECT_EQ(FlashPageSource::parsePageRange("ALL", -4), Pages{});
}

TEST(ParsePageRange, NumbersAndRangesAreSortedWithoutDuplicates) {
    EXPECT_EQ(FlashPageSource::parsePageRange("1-5,8", 10), (Pages{1, 2, 3, 4, 5, 8}));
    EXPECT_EQ(FlashPageSource::parsePageRange("8,1-3,2", 10), (Pages{1, 2, 3, 8}));
    EXPECT_EQ(FlashPageSource::parsePageRange("3,3,3", 10), Pages{3});
    EXPECT_EQ(FlashPageSource::parsePageRange("2-4-9", 10), (Pages{2, 3, 4}));
    EXPECT_EQ(FlashPageSource::parsePageRange("1 - 3", 10), (Pages{1, 2, 3}));
    EXPECT_EQ(FlashPageSource::parsePageRange("12", 10), Pages{12});   // not checked against the total
}

TEST(ParsePageRange, PiecesAreReadLeniently) {
    EXPECT_EQ(FlashPageSource::parsePageRange("5-3", 10), Pages{});
    EXPECT_EQ(FlashPageSource::parsePageRange("3-", 10), Pages{});
    EXPECT_EQ(FlashPageSource::parsePageRange("-3", 10), (Pages{0, 1, 2, 3}));
    EXPECT_EQ(FlashPageSource::parsePageRange("abc", 10), Pages{0});
    EXPECT_EQ(FlashPageSource::parsePageRange("7a", 10), Pages{7});
    EXPECT_EQ(FlashPageSource::parsePageRange("", 10), Pages{0});
    EXPECT_EQ(FlashPageSource::parsePageRange("1,2,", 10), (Pages{0, 1, 2}));
    EXPECT_EQ(FlashPageSource::parsePageRange(" +4", 10), Pages{4});
}

TEST(ParsePageRange, AHugeRangeDoesNotExhaustMemory) {
    const Pages pages = FlashPageSource::parsePageRange("1-2000000000", 10);
    EXPECT_LE(pages.size(), 1000000);
    EXPECT_EQ(pages.first(), 1);
    EXPECT_EQ(FlashPageSource::parsePageRange("99999999999999", 10), Pages{INT_MAX});
}

TEST(FlashPageSource, LookupsByPositionAndByIndex) {
    FlashPageSource source;
    EXPECT_EQ(source.sourceFile(), QString());
    EXPECT_EQ(source.renderEngineType(), 0);
    EXPECT_FALSE(source.stop());
    source.pages() << std::make_shared<FlashPage>("/a", 7) << std::make_shared<FlashPage>("/b", 9);
    source.normalPages() << std::make_shared<FlashPage>("/n9", 9) << std::make_shared<FlashPage>("/n9b", 9);
    EXPECT_EQ(source.getPageAtIndex(1)->pageFilePath(), "/b");
    EXPECT_EQ(source.getPageAtIndex(2), nullptr);
    EXPECT_EQ(source.getPageAtIndex(-1), nullptr);
    EXPECT_EQ(source.getNormalPageAtIndex(9)->pageFilePath(), "/n9");   // first match wins
    EXPECT_EQ(source.getNormalPageAtIndex(7), nullptr);
    EXPECT_EQ(source.getZoomedPageAtIndex(9), nullptr);
    source.clearPages();
    EXPECT_TRUE(source.pages().isEmpty());
    EXPECT_TRUE(source.normalPages().isEmpty());
}

TEST(FlashPage, TempFolderIsMadeOncePerProcess) {
    const QString folder = FlashPage::flashPageTempFolder();
    EXPECT_FALSE(folder.isEmpty());
    EXPECT_TRUE(QFileInfo(folder).isDir());
    EXPECT_EQ(FlashPage::flashPageTempFolder(), folder);
}
