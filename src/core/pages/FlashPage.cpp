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

void FlashPage::takePageFacts(const FlashPage& other) {
    iPdfPage = other.iPdfPage;
    iShownSize = other.iShownSize;
    iTextFilePath = other.iTextFilePath;
}

FlashPagePtr FlashPage::copyPage(int, int) const {
    auto copy = std::make_shared<FlashPage>(pageFilePath(), pageIndex());
    copy->takePageFacts(*this);
    return copy;
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
