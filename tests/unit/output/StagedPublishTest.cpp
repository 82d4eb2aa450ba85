#include "OutputFixture.h"

#include "output/OutputFolderLock.h"
#include "output/StagedPublish.h"

#include <unistd.h>

using namespace OutputFixture;

namespace {
class StagedPublishing : public BookFolder {
protected:
    FlashBookOutput& publish() {
        iEngine = std::make_unique<FlashBookOutput>(iPages, iTemplate, iOut, "index");
        iEngine->ouputTheBook();
        return *iEngine;
    }
    bool leftNothingBehind() const {
        return !QFileInfo::exists(out(StagedPublish::kStagingName)) && !QFileInfo::exists(out(OutputFolderLock::kFileName));
    }
    std::unique_ptr<FlashBookOutput> iEngine;
};
}

// A republish switches to the new book and keeps what it did not make; one that fails leaves the
// published book as it was.
TEST_F(StagedPublishing, RepublishingSwitchesToTheNewBookOrLeavesTheOldOneAsItWas) {
    addPages(3);
    ASSERT_TRUE(publish().failures().isEmpty());
    const ino_t unchanged = inodeOf(out("files/page/1.swf"));
    TestSupport::writeFile(out("notes.txt"), "mine");
    TestSupport::writeFile(out("files/extra/mine.txt"), "mine too");
    TestSupport::writeFile(out("files/page/9.swf"), "a page of a longer edition");
    TestSupport::writeFile(iPages->normalPages()[2]->pageFilePath(), "FWS page 2, second edition");
    // An unfinished staging folder of an interrupted publish is thrown away.
    TestSupport::writeFile(out(QString(StagedPublish::kStagingName) + "/book/files/book.bin"), "half written");

    EXPECT_TRUE(publish().failures().isEmpty());
    EXPECT_TRUE(BookDescriptionFile().decode(TestSupport::readFile(out("files/book.bin"))));
    EXPECT_EQ(TestSupport::readFile(out("files/page/2.swf")), "FWS page 2, second edition");
    EXPECT_EQ(inodeOf(out("files/page/1.swf")), unchanged);  // an unchanged page is not copied again
    EXPECT_EQ(TestSupport::readFile(out("notes.txt")), "mine");
    EXPECT_EQ(TestSupport::readFile(out("files/extra/mine.txt")), "mine too");
    EXPECT_EQ(TestSupport::readFile(out("files/page/9.swf")), "a page of a longer edition");
    EXPECT_TRUE(leftNothingBehind());

    TestSupport::writeFile(iPages->normalPages()[1]->pageFilePath(), "FWS page 1, second edition");
    iTemplate->setPropertyValue("isHardCover", "YES");

    // A folder where a page file belongs cannot be replaced; the lock is another publish's.
    const auto blockPage = [&] {
        QFile::remove(out("files/page/2.swf"));
        TestSupport::writeFile(out("files/page/2.swf/in-the-way"), "x");
    };
    OutputFolderLock other;
    const auto holdLock = [&] { ASSERT_TRUE(other.lock(iOut)); };
    const struct { const char* what; std::function<void()> arrange; QString message; } cases[] = {
        {"unwritable page", blockPage, "files/page/2.swf"},
        {"busy folder", holdLock, QString("another publish (process %1)").arg(getpid())},
    };
    for (const auto& c : cases) {
        QDir(out("files/page/2.swf")).removeRecursively();
        publish();
        c.arrange();
        const auto before = snapshot(iOut);
        FlashBookOutput& e = publish();
        EXPECT_TRUE(e.writeFailed()) << c.what;
        EXPECT_TRUE(e.failures().join('\n').contains(c.message)) << c.what << ": " << e.failures().join('\n').toStdString();
        EXPECT_EQ(snapshot(iOut), before) << c.what;
        other.unlock();
    }
}
