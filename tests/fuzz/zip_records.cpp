// Zip records read from arbitrary bytes: every record kind at the start and at an offset the
// input chooses. A record that reads writes out a form that reads back to the same record.
#include "FuzzSupport.h"
#include "zip/records/ZKCDHeader.h"
#include "zip/records/ZKCDTrailer.h"
#include "zip/records/ZKCDTrailer64.h"
#include "zip/records/ZKCDTrailer64Locator.h"
#include "zip/records/ZKLFHeader.h"

FUZZ_INIT

namespace {
template <typename Record>
void roundTrip(const std::optional<Record>& record) {
    if (!record)
        return;
    const QByteArray written = record->data();
    const std::optional<Record> again = Record::recordWithData(written, 0);
    FUZZ_CHECK(again && again->data() == written);
}
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes = FuzzSupport::bytes(data, size);
    const qint64 offset = size > 0 ? data[0] % qint64(size) : 0;
    for (const qint64 at : {qint64(0), offset, qint64(size), qint64(-1)}) {
        roundTrip(ZKLFHeader::recordWithData(bytes, at));
        roundTrip(ZKCDHeader::recordWithData(bytes, at));
        roundTrip(ZKCDTrailer::recordWithData(bytes, at));
        roundTrip(ZKCDTrailer64::recordWithData(bytes, at));
        roundTrip(ZKCDTrailer64Locator::recordWithData(bytes, at));
    }
    roundTrip(ZKCDTrailer::recordWithData(bytes));
    return 0;
}
