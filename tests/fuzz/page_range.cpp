// Page range texts: the import's lenient reading gives a sorted list without duplicates, and a
// range the command line accepts lies within the document.
#include "FuzzSupport.h"
#include "cli/CliError.h"
#include "cli/PublishCommand.h"
#include "pages/FlashPageSource.h"

FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2)
        return 0;
    const int pageCount = data[0] * 256 + data[1];
    const QString text = QString::fromUtf8(FuzzSupport::bytes(data + 2, size - 2));
    const QList<int> numbers = FlashPageSource::parsePageRange(text, pageCount);
    for (qsizetype i = 1; i < numbers.size(); ++i)
        FUZZ_CHECK(numbers[i - 1] < numbers[i]);
    try {
        const QString checked = PublishCommand::checkPageRange(text, pageCount);
        for (const int n : FlashPageSource::parsePageRange(checked, pageCount))
            FUZZ_CHECK(n >= 1 && n <= pageCount);
    } catch (const CliError&) {
    }
    return 0;
}
