#pragma once
#include "ZKCDHeader.h"
#include "ZKCDTrailer.h"
#include "ZKDefs.h"
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

    QString iArchivePath;
    QList<ZKCDHeader> iCentralDirectory;
    ZKCDTrailer iCdTrailer;

private:
    ZKArchiveDelegate* iDelegate = nullptr;
    std::function<bool()> iInvoker;
    double iThrottleThreadSleepTime = 0;
};
