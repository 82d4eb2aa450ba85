#pragma once
#include <QString>

// Keeps two publishes out of one folder: the lock file ".leafmill-publish.lock" in the folder,
// locked while held and naming its owner's process id. The system drops the lock of a process
// that dies, so a killed publish never blocks the next one.
class OutputFolderLock {
public:
    static constexpr char kFileName[] = ".leafmill-publish.lock";

    OutputFolderLock() = default;
    ~OutputFolderLock();
    OutputFolderLock(const OutputFolderLock&) = delete;
    OutputFolderLock& operator=(const OutputFolderLock&) = delete;

    // False when another process holds the folder (errorString names it) or the lock file
    // cannot be made.
    bool lock(const QString& folder);
    // Removes the lock file; done by the destructor too.
    void unlock();
    bool isLocked() const { return iFd >= 0; }
    QString errorString() const { return iError; }

private:
    int iFd = -1;
    QString iPath;
    QString iError;
};
