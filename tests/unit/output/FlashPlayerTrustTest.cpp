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
    QTemporaryDir dir;
    const QString machine = dir.filePath("machine/PT.cfg"), user = dir.filePath("user/PT.cfg");
};
}

// Folders are listed once, near matches count as different, other folders stay, the machine file
// is written only on request, and a trust file that cannot be read is left alone.
TEST_F(Trust, FoldersAreListedOnceBesideTheOthers) {
    FlashPlayerTrust::writeTrustedFolderContent("/a", user);   // creates nothing: no folder yet
    EXPECT_FALSE(QFileInfo::exists(user));
    FlashPlayerTrust::makeDiractoryTrustByFlash("/a");
    EXPECT_FALSE(QFileInfo::exists(machine));
    for (const char* folder : {"/b", "/b/", "/a"})
        FlashPlayerTrust::writeTrustedFolderContent(folder, user);
    FlashPlayerTrust::makeDiractoryTrustByFlash("/b", true);
    EXPECT_EQ(trustText(user), "/a\n/b\n/b/");
    EXPECT_EQ(trustText(machine), "/b");

    TestSupport::writeFile(user, "odd");
    FlashPlayerTrust::makeDiractoryTrustByFlash("/c", true);
    EXPECT_EQ(TestSupport::readFile(user), "odd");
    EXPECT_EQ(trustText(machine), "/b\n/c");
}
