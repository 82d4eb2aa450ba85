#pragma once
#include <QString>

// The per-process work folder under "/tmp/<APP_NAME>/" and the folders handed out inside it.
class AppInfo {
public:
    static AppInfo& shareInstance();

    const QString& appWorkdTmpFolder() const { return iAppWorkdTmpFolder; }
    // Work folder joined with the relative path, created (with parents) when missing.
    QString tmpFolderForPath(const QString& relativePath) const;
    // Removes this process's work folder only; other processes' folders stay.
    void removeTheWorkingTmpFolder();
    // Application-support root + APP_NAME + relative path, created when missing.
    QString userAppFolderForPath(const QString& relativePath) const;

    ~AppInfo();
    AppInfo(const AppInfo&) = delete;
    AppInfo& operator=(const AppInfo&) = delete;

private:
    AppInfo();
    QString iAppWorkdTmpFolder;
};
