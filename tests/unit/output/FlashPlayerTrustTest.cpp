#include "output/FlashPlayerTrust.h"

#include "TestSupport.h"

#include <QStringDecoder>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
QString trustText(const QString& path) {
    const QByteArray bytes = TestSupport::readFile(path);
    EXPECT_TRUE(bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF"));
    QStringDecoder decoder(QStringConverter::Utf16);
    return decoder.decode(bytes);
}

class Trust : public ::testing::Test {
protected:
    void SetUp() override { FlashPlayerTrust::setTrustFolders(dir.filePath("machine/"), dir.filePath("user/")); }
    void TearDown() override { FlashPlayerTrust::setTrustFolders({}, {}); }
    QString machine() const { return dir.filePath("machine/PT.cfg"); }
    QString user() const { return dir.filePath("user/PT.cfg"); }
    QTemporaryDir dir;
};
}

TEST_F(Trust, FoldersAreListedOnceAndTheMachineFileOnlyOnRequest) {
    FlashPlayerTrust::makeDiractoryTrustByFlash("/tmp/preview");
    EXPECT_FALSE(QFileInfo::exists(machine()));
    FlashPlayerTrust::makeDiractoryTrustByFlash("/tmp/preview", true);
    FlashPlayerTrust::makeDiractoryTrustByFlash("/tmp/preview", true);
    EXPECT_EQ(trustText(machine()), "/tmp/preview");
    EXPECT_EQ(trustText(user()), "/tmp/preview");
}

TEST_F(Trust, OtherFoldersStayAndNearMatchesCountAsDifferent) {
    FlashPlayerTrust::writeTrustedFolderContent("/a", user());   // creates nothing: no folder yet
    EXPECT_FALSE(QFileInfo::exists(user()));
    QDir().mkpath(dir.filePath("user"));
    FlashPlayerTrust::writeTrustedFolderContent("/a", user());
    FlashPlayerTrust::writeTrustedFolderContent("/b", user());
    FlashPlayerTrust::writeTrustedFolderContent("/b/", user());
    FlashPlayerTrust::writeTrustedFolderContent("/a", user());
    EXPECT_EQ(trustText(user()), "/a\n/b\n/b/");
}

TEST_F(Trust, UnreadableTrustFileIsLeftAlone) {
    TestSupport::writeFile(user(), "odd");
    FlashPlayerTrust::makeDiractoryTrustByFlash("/tmp/preview", true);
    EXPECT_EQ(TestSupport::readFile(user()), "odd");
    EXPECT_EQ(trustText(machine()), "/tmp/preview");
}
