// Page range texts: the import's lenient reading gives a sorted list without duplicates, and a
// range the strict check accepts lies within the document.
#include "FuzzSupport.h"
#include "pages/FlashPageSource.h"
#include "pages/PageRangeCheck.h"

FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const int pageCount = data[0] * 256 + data[1];
    const QString text = QString::fromUtf8(FuzzSupport::bytes(data + 2, size - 2));
    const QList<int> numbers = FlashPageSource::parsePageRange(text, pageCount);
    for (qsizetype i = 1; i < numbers.size(); ++i)
        FUZZ_CHECK(numbers[i - 1] < numbers[i]);
    PageRangeCheck range;
    if (range.check(text, pageCount)) {
        for (const int n : FlashPageSource::parsePageRange(range.range(), pageCount))
            FUZZ_CHECK(n >= 1 && n <= pageCount);
    } else {
        FUZZ_CHECK(!range.errorString().isEmpty());
    }
    return 0;
}
