#include "util/AppInfo.h"

#include "util/AppIdentity.h"
#include "util/BriskUtility.h"
#include "util/Log.h"

#include <QDir>
#include <QFileInfo>

AppInfo& AppInfo::shareInstance() {
    static AppInfo instance;
    return instance;
}

AppInfo::AppInfo() : iAppWorkdTmpFolder(BriskUtility::forceTmpDiractory(AppIdentity::appName())) {}

AppInfo::~AppInfo() { removeTheWorkingTmpFolder(); }

QString AppInfo::tmpFolderForPath(const QString& relativePath) const {
    const QString folder = BriskUtility::joinPath(iAppWorkdTmpFolder, relativePath);
    if (!QFileInfo::exists(folder)) QDir().mkpath(folder);
    Log::system(QStringLiteral("appWorkdTmpFolder=%1").arg(iAppWorkdTmpFolder));
    Log::system(QStringLiteral("folder=%1").arg(folder));
    return folder;
}

void AppInfo::removeTheWorkingTmpFolder() {
    // Only this process's folder: the folder above it is shared with other running processes.
    if (!iAppWorkdTmpFolder.isEmpty() && QFileInfo(iAppWorkdTmpFolder).isDir())
        QDir(iAppWorkdTmpFolder).removeRecursively();
}

QString AppInfo::userAppFolderForPath(const QString& relativePath) const {
    return BriskUtility::userAppFolderForSubFolder(BriskUtility::joinPath(AppIdentity::appName(), relativePath));
}
