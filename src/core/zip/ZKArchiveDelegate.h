#pragma once
#include <QString>
#include <QtGlobal>

class ZKArchive;

// Progress receiver of an archive. Every call has an empty default, so a receiver overrides
// only what it wants. Calls come on the thread that runs the archive operation; a receiver that
// touches widgets queues to the main thread itself.
class ZKArchiveDelegate {
public:
    virtual ~ZKArchiveDelegate() = default;
    virtual void onZKArchiveDidBeginZip(ZKArchive*) {}
    virtual void onZKArchiveDidBeginUnzip(ZKArchive*) {}
    virtual void onZKArchiveWillZipPath(ZKArchive*, const QString& /*path*/) {}
    virtual void onZKArchiveWillUnzipPath(ZKArchive*, const QString& /*path*/) {}
    virtual void onZKArchiveDidEndZip(ZKArchive*) {}
    virtual void onZKArchiveDidEndUnzip(ZKArchive*) {}
    virtual void onZKArchiveDidCancel(ZKArchive*) {}
    virtual void onZKArchiveDidFail(ZKArchive*) {}
    virtual void onZKArchiveDidUpdateTotalSize(ZKArchive*, quint64 /*size*/) {}
    virtual void onZKArchiveDidUpdateTotalCount(ZKArchive*, quint64 /*count*/) {}
    virtual void onZKArchiveDidUpdateBytesWritten(ZKArchive*, quint64 /*byteCount*/) {}
    // Sizes and byte counts are sent only when this answers true.
    virtual bool zkDelegateWantsSizes() { return false; }
};
