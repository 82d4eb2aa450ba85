#include "zip/ZKArchive.h"
#include "zip/ZKArchiveDelegate.h"
#include "zip/records/ZKCDTrailer64.h"
#include "zip/records/ZKCDTrailer64Locator.h"
#include <QThread>

ZKArchive::ZKArchive() = default;
ZKArchive::~ZKArchive() = default;

bool ZKArchive::isCancelled() const { return iInvoker && iInvoker(); }

bool ZKArchive::delegateWantsSizes() const { return iDelegate && iDelegate->zkDelegateWantsSizes(); }

void ZKArchive::throttle() const {
    if (iThrottleThreadSleepTime > 0)
        QThread::usleep(static_cast<unsigned long>(iThrottleThreadSleepTime * 1e6));
}

void ZKArchive::notify(const std::function<void(ZKArchiveDelegate&)>& call) {
    if (iDelegate)
        call(*iDelegate);
}

namespace {
using ByteSource = std::function<QByteArray(qint64 offset, qint64 count)>;

struct DirectoryPlace {
    quint64 count;
    quint64 size;
    quint64 offset;
    quint64 end;  // where the directory must end at the latest
};

// Takes the place from the zip64 end record when a locator stands before the end record.
// False when the locator points nowhere useful.
bool applyZip64Records(const ByteSource& read, qint64 trailerOffset, DirectoryPlace& place) {
    const qint64 locatorOffset = trailerOffset - ZKCDTrailer64LocatorFixedDataLength;
    if (locatorOffset < 0)
        return true;
    const auto locator = ZKCDTrailer64Locator::recordWithData(read(locatorOffset, ZKCDTrailer64LocatorFixedDataLength), 0);
    if (!locator)
        return true;
    const quint64 at = locator->offsetOfStartOfCentralDirectoryTrailer64;
    if (at > quint64(locatorOffset))
        return false;
    const auto trailer64 = ZKCDTrailer64::recordWithData(read(qint64(at), ZKCDTrailer64FixedDataLength), 0);
    if (!trailer64)
        return false;
    place = {trailer64->totalNumberOfCentralDirectoryEntries, trailer64->sizeOfCentralDirectory,
             trailer64->offsetOfStartOfCentralDirectory, at};
    return true;
}

// Exactly count headers filling the whole directory, or none.
std::optional<QList<ZKCDHeader>> parseDirectory(const QByteArray& directory, quint64 count) {
    QList<ZKCDHeader> headers;
    qint64 position = 0;
    for (quint64 i = 0; i < count; ++i) {
        const auto header = ZKCDHeader::recordWithData(directory, position);
        if (!header)
            return std::nullopt;
        position += ZKCDHeaderFixedDataLength + header->filenameLength() + header->extraFieldLength()
            + header->commentLength();
        headers.append(*header);
    }
    if (position != directory.size())
        return std::nullopt;
    return headers;
}
}  // namespace

bool ZKArchive::readCentralDirectory(bool* usedZip64Records) {
    const ByteSource read = [this](qint64 offset, qint64 count) { return readArchiveBytes(offset, count); };
    const qint64 size = archiveSize();
    const qint64 tailStart = qMax<qint64>(0, size - ZKCDTrailerMaximumLength);
    const auto trailer = ZKCDTrailer::recordWithData(read(tailStart, size - tailStart));
    if (!trailer)
        return false;
    const qint64 trailerOffset = tailStart + trailer->recordOffset();
    DirectoryPlace place{trailer->totalNumberOfCentralDirectoryEntries(), trailer->sizeOfCentralDirectory(),
                         trailer->offsetOfStartOfCentralDirectory(), quint64(trailerOffset)};
    if (!applyZip64Records(read, trailerOffset, place))
        return false;
    // Each central header takes at least its fixed part, which bounds the count before any
    // header is parsed.
    if (place.offset > place.end || place.size > place.end - place.offset
        || place.count > place.size / ZKCDHeaderFixedDataLength)
        return false;
    const auto headers = parseDirectory(read(qint64(place.offset), qint64(place.size)), place.count);
    if (!headers)
        return false;
    if (usedZip64Records)
        *usedZip64Records = place.end != quint64(trailerOffset);
    iCentralDirectory = *headers;
    iCdTrailer = *trailer;
    iCdTrailer.setOffsetOfStartOfCentralDirectory(place.offset);
    iCdTrailer.setSizeOfCentralDirectory(place.size);
    iCdTrailer.setTotalNumberOfCentralDirectoryEntries(place.count);
    iCdTrailer.setNumberOfCentralDirectoryEntriesOnThisDisk(place.count);
    return true;
}

QByteArray ZKArchive::writtenDirectory(quint64 offset) {
    QByteArray out;
    for (const ZKCDHeader& header : std::as_const(iCentralDirectory))
        out.append(header.data());
    iCdTrailer.setOffsetOfStartOfCentralDirectory(offset);
    iCdTrailer.setSizeOfCentralDirectory(quint64(out.size()));
    iCdTrailer.setTotalNumberOfCentralDirectoryEntries(quint64(iCentralDirectory.size()));
    iCdTrailer.setNumberOfCentralDirectoryEntriesOnThisDisk(quint64(iCentralDirectory.size()));
    if (iCdTrailer.useZip64Extensions()) {
        ZKCDTrailer64 trailer64;
        trailer64.numberOfCentralDirectoryEntriesOnThisDisk = quint64(iCentralDirectory.size());
        trailer64.totalNumberOfCentralDirectoryEntries = quint64(iCentralDirectory.size());
        trailer64.sizeOfCentralDirectory = quint64(out.size());
        trailer64.offsetOfStartOfCentralDirectory = offset;
        ZKCDTrailer64Locator locator;
        locator.offsetOfStartOfCentralDirectoryTrailer64 = offset + quint64(out.size());
        out.append(trailer64.data());
        out.append(locator.data());
    }
    out.append(iCdTrailer.data());
    return out;
}
