#pragma once
#include "zip/records/ZKCDHeader.h"
#include "zip/records/ZKCDTrailer.h"
#include "zip/ZKDefs.h"
#include <QList>
#include <QString>
#include <functional>

class ZKArchiveDelegate;

// What in-memory and file archives share: the central directory, the end record, the progress
// receiver and the cancellation check. Operations answer ZKSucceeded (1), ZKCancelled (0) or
// ZKFailed (-1).
class ZKArchive {
public:
    ZKArchive();
    virtual ~ZKArchive();
    ZKArchive(const ZKArchive&) = delete;
    ZKArchive& operator=(const ZKArchive&) = delete;

    QString archivePath() const { return iArchivePath; }
    const QList<ZKCDHeader>& centralDirectory() const { return iCentralDirectory; }
    const ZKCDTrailer& cdTrailer() const { return iCdTrailer; }

    ZKArchiveDelegate* delegate() const { return iDelegate; }
    void setDelegate(ZKArchiveDelegate* delegate) { iDelegate = delegate; }
    // Asked between blocks of long work; answering true cancels it.
    void setInvoker(std::function<bool()> isCancelled) { iInvoker = std::move(isCancelled); }
    // Pause after each block while expanding, in seconds (0: none).
    double throttleThreadSleepTime() const { return iThrottleThreadSleepTime; }
    void setThrottleThreadSleepTime(double seconds) { iThrottleThreadSleepTime = seconds; }

    QString comment() const { return iCdTrailer.comment(); }
    void setComment(const QString& comment) { iCdTrailer.setComment(comment); }

protected:
    bool isCancelled() const;
    bool delegateWantsSizes() const;
    void throttle() const;
    // Calls the delegate when there is one.
    void notify(const std::function<void(ZKArchiveDelegate&)>& call);

    // The archive's bytes at an offset (fewer at its end) and its total size.
    virtual QByteArray readArchiveBytes(qint64 offset, qint64 count) const = 0;
    virtual qint64 archiveSize() const = 0;
    // Finds the end record (and the zip64 records it points to) and reads the whole directory.
    // False when there is no archive or the directory does not fit what the end record says.
    // Tells whether zip64 end records were found and used.
    bool readCentralDirectory(bool* usedZip64Records = nullptr);
    // The directory as written at the offset: central headers, zip64 records when needed, end
    // record. Brings the end record's counts, size and offset up to date.
    QByteArray writtenDirectory(quint64 offset);

    QString iArchivePath;
    QList<ZKCDHeader> iCentralDirectory;
    ZKCDTrailer iCdTrailer;

private:
    ZKArchiveDelegate* iDelegate = nullptr;
    std::function<bool()> iInvoker;
    double iThrottleThreadSleepTime = 0;
};
