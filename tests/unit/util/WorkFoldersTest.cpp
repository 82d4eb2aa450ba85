#include "util/AppIdentity.h"
#include "util/AppInfo.h"
#include "util/BriskUtility.h"

#include "TestSupport.h"

#include <QDir>
#include <QFileInfo>
#include <QUuid>
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

static const QString kHome = TestSupport::isolateUserFolders();

static QString uniqueName() { return QStringLiteral("leafmill-test-") + QUuid::createUuid().toString(QUuid::Id128); }

static mode_t modeOf(const QString& path) {
    struct stat st {};
    lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

// A process that has already ended: its id is free (until the system hands it out again).
static qint64 endedProcessId() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// Private folders under /tmp/<name>, new on every call, which clears the work folders of ended
// processes; a /tmp/<name> that others may write is not used.
TEST(ScratchFolders, EachCallMakesANewPrivateFolderAndClearsThoseOfEndedProcesses) {
    const QString name = uniqueName();
    const QString root = "/tmp/" + name;
    const QString a = BriskUtility::forceTmpDiractory(name);
    const QString b = BriskUtility::forceTmpDiractory(name);
    EXPECT_NE(a, b);
    for (const QString& folder : {a, b}) {
        EXPECT_TRUE(QDir(folder).isEmpty() && folder.startsWith(root + "/temp.")) << qPrintable(folder);
        EXPECT_EQ(modeOf(folder), 0700u);
    }
    EXPECT_EQ(modeOf(root), 0700u);

    const struct { const char* folder; QByteArray owner; bool kept; } cases[] = {
        {"temp.ended", QByteArray::number(endedProcessId()), false},
        {"temp.living", QByteArray::number(qint64(getpid())), true},
        {"temp.unknown", {}, true},  // no owner record: not ours to judge
        {"kept.ended", QByteArray::number(endedProcessId()), true},  // not a work folder
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(TestSupport::writeFile(root + '/' + c.folder + "/work.bin", "x"));
        if (!c.owner.isEmpty()) ASSERT_TRUE(TestSupport::writeFile(root + '/' + c.folder + "/.owner", c.owner));
    }
    const QString made = BriskUtility::forceTmpDiractory(name);
    for (const auto& c : cases) EXPECT_EQ(QFileInfo::exists(root + '/' + c.folder), c.kept) << c.folder;
    EXPECT_TRUE(QFileInfo::exists(a) && QFileInfo::exists(b));
    EXPECT_EQ(TestSupport::readFile(made + "/.owner"), QByteArray::number(qint64(getpid())));
    QDir(root).removeRecursively();

    ASSERT_TRUE(QDir().mkpath(root));
    chmod(QFile::encodeName(root).constData(), 0777);
    const QString elsewhere = BriskUtility::forceTmpDiractory(name);
    EXPECT_TRUE(elsewhere.startsWith(kHome) && QFileInfo(elsewhere).isDir()) << elsewhere;
    EXPECT_TRUE(QDir(root).isEmpty());
    QDir(root).removeRecursively();
}

// Sub-folders are made once and keep their content; removing the work folder leaves other
// processes' folders alone.
TEST(WorkFolder, SubFoldersLastUntilTheWorkFolderIsRemoved) {
    AppInfo& info = AppInfo::shareInstance();
    EXPECT_TRUE(info.appWorkdTmpFolder().startsWith("/tmp/" + AppIdentity::appName() + "/temp."));
    const QString zip = info.tmpFolderForPath("output/zip/");
    EXPECT_EQ(zip, info.appWorkdTmpFolder() + "/output/zip");
    ASSERT_TRUE(TestSupport::writeFile(zip + "/kept.txt", "x"));
    EXPECT_EQ(info.tmpFolderForPath("output/zip"), zip);
    EXPECT_TRUE(QFileInfo::exists(zip + "/kept.txt"));

    const QString neighbour = BriskUtility::forceTmpDiractory(AppIdentity::appName());   // another process's
    ASSERT_TRUE(TestSupport::writeFile(neighbour + "/work.txt", "theirs"));
    info.removeTheWorkingTmpFolder();
    EXPECT_FALSE(QFileInfo::exists(info.appWorkdTmpFolder()));
    EXPECT_TRUE(QFileInfo::exists(neighbour + "/work.txt"));
    QDir(neighbour).removeRecursively();
}

TEST(ScratchFolders, AProcessRemovesItsWorkFoldersWhenItEnds) {
    const QString name = uniqueName();
    const pid_t child = fork();
    if (child == 0) {
        TestSupport::writeFile(BriskUtility::forceTmpDiractory(name) + "/page.jpg", "x");
        std::exit(0);   // an ordinary end, as every command and the app have
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    EXPECT_EQ(QDir("/tmp/" + name).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden), QStringList());
    QDir("/tmp/" + name).removeRecursively();
}

TEST(Listings, MatchExtensionsCaseSensitivelyAndDoNotFollowLinks) {
    QTemporaryDir dir;
    for (const char* name : {"en.xml", "en.XML", "enxml", "sub/e.xml"})
        TestSupport::writeFile(dir.filePath(name), "x");
    EXPECT_EQ(BriskUtility::filesOfFolder(dir.path(), "xml"), QStringList({"en.xml"}));
    QDir().mkpath(dir.filePath("sub/styles"));
    QFile::link(dir.filePath("sub"), dir.filePath("link"));
    EXPECT_EQ(BriskUtility::subFolderOfFolder(dir.path()), QStringList({dir.filePath("sub"), dir.filePath("sub/styles")}));
}
