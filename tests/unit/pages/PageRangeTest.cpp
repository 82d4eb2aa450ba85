#include "pages/FlashPageSource.h"
#include "pages/PageRangeCheck.h"
#include <climits>
#include <gtest/gtest.h>

using Pages = QList<int>;

TEST(ParsePageRange, SortedWithoutDuplicatesAndReadLeniently) {
    const struct { const char* range; int total; Pages pages; } cases[] = {
        {"all", 3, {1, 2, 3}}, {"All", 2, {1, 2}}, {"ALL", 0, {}}, {"ALL", -4, {}},
        {"1-5,8", 10, {1, 2, 3, 4, 5, 8}}, {"8,1-3,2", 10, {1, 2, 3, 8}}, {"3,3,3", 10, {3}},
        {"2-4-9", 10, {2, 3, 4}}, {"1 - 3", 10, {1, 2, 3}},
        {"12", 10, {12}},   // not checked against the total
        {"5-3", 10, {}}, {"3-", 10, {}}, {"-3", 10, {0, 1, 2, 3}}, {"abc", 10, {0}}, {"7a", 10, {7}},
        {"", 10, {0}}, {"1,2,", 10, {0, 1, 2}}, {" +4", 10, {4}}, {"99999999999999", 10, {INT_MAX}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(FlashPageSource::parsePageRange(c.range, c.total), c.pages) << c.range;
    const Pages huge = FlashPageSource::parsePageRange("1-2000000000", 10);   // must not exhaust memory
    EXPECT_LE(huge.size(), 1000000);
    EXPECT_EQ(huge.first(), 1);
}

TEST(PageRangeCheck, RangesAreCheckedAgainstTheDocument) {
    PageRangeCheck range;
    EXPECT_TRUE(range.check("all", 5));
    EXPECT_EQ(range.range(), "ALL");
    EXPECT_TRUE(range.check("1-3, 5", 5));
    EXPECT_EQ(range.range(), "1-3,5");
    for (const char* bad : {"", "0", "6", "3-2", "1-", "-2", "1,,2", "1;2", "x"}) {
        EXPECT_FALSE(range.check(bad, 5)) << bad;
        EXPECT_TRUE(range.errorString().startsWith("bad page range")) << bad;
    }
}
