#include "pages/FlashPage.h"
#include "util/BriskUtility.h"
#include <mutex>

FlashPage::FlashPage(const QString& pageFilePath, int pageIndex)
    : iPageFilePath(pageFilePath), iPageIndex(pageIndex) {}

QString FlashPage::pageFilePath() const {
    QMutexLocker locker(&iLock);
    return iPageFilePath;
}

void FlashPage::setPageFilePath(const QString& path) {
    QMutexLocker locker(&iLock);
    iPageFilePath = path;
}

FlashPagePtr FlashPage::copyPage(int, int) const {
    return std::make_shared<FlashPage>(pageFilePath(), pageIndex());
}

FlashPagePtr FlashPage::copyAsImgPage(int, int) const {
    return nullptr;
}

QString FlashPage::flashPageTempFolder() {
    static QString folder;
    static std::once_flag made;
    std::call_once(made, [] { folder = BriskUtility::forceTmpDiractory(QStringLiteral("pageTemp")); });
    return folder;
}
