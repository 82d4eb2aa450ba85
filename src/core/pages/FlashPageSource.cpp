#include "pages/FlashPageSource.h"
#include "util/NumberText.h"
#include <algorithm>

namespace {
// A typed range like 1-2000000000 must not exhaust memory; no document has this many pages.
constexpr int kMaxRangeSpan = 1000000;
}

void FlashPageSource::clearPages() {
    iPages.clear();
    iNormalPages.clear();
    iZoomedPages.clear();
    iThumbPages.clear();
    iPhonePages.clear();
}

FlashPagePtr FlashPageSource::getPageAtIndex(qsizetype position) const {
    return position >= 0 && position < iPages.size() ? iPages[position] : nullptr;
}

FlashPagePtr FlashPageSource::getNormalPageAtIndex(int pageIndex) const {
    return findPageWithIndex(iNormalPages, pageIndex);
}

FlashPagePtr FlashPageSource::getZoomedPageAtIndex(int pageIndex) const {
    return findPageWithIndex(iZoomedPages, pageIndex);
}

FlashPagePtr FlashPageSource::getThumbPageAtIndex(int pageIndex) const {
    return findPageWithIndex(iThumbPages, pageIndex);
}

FlashPagePtr FlashPageSource::getPhonePageAtIndex(int pageIndex) const {
    return findPageWithIndex(iPhonePages, pageIndex);
}

FlashPagePtr FlashPageSource::findPageWithIndex(const FlashPageList& list, int pageIndex) const {
    for (const FlashPagePtr& page : list) {
        if (lookupsHonourStop() && stop())
            return nullptr;
        if (page->pageIndex() == pageIndex)
            return page;
    }
    return nullptr;
}

QList<int> FlashPageSource::parsePageRange(const QString& text, int totalPage) {
    QList<int> numbers;
    if (text.toUpper() == QStringLiteral("ALL")) {
        for (int n = 1; n <= totalPage; ++n)
            numbers.append(n);
        return numbers;
    }
    for (QStringView piece : QStringView(text).split(u',')) {
        if (piece.contains(u'-')) {
            const QList<QStringView> parts = piece.split(u'-');
            const int first = NumberText::lenientInt(parts[0]);
            const int last = int(std::min<long long>(NumberText::lenientInt(parts[1]), (long long)first + kMaxRangeSpan - 1));
            for (long long n = first; n <= last; ++n)
                numbers.append(int(n));
        } else {
            numbers.append(NumberText::lenientInt(piece));
        }
    }
    std::sort(numbers.begin(), numbers.end());
    numbers.erase(std::unique(numbers.begin(), numbers.end()), numbers.end());
    return numbers;
}
