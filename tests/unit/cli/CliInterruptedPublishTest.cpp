// A republish killed at any moment, or stopped by a full disk, leaves a whole book: the one that
// was there or the new one. These run the real leafmill-cli as a child process.
#include "CliTestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QThread>

#include <csignal>
#include <sys/resource.h>
#include <sys/statvfs.h>

using namespace CliTest;

namespace {
const QString kStaging = ".leafmill-publish";
const QString kLockFile = ".leafmill-publish.lock";

// The program of the same build: <build>/src/cli beside <build>/tests.
QString cliProgram() { return QCoreApplication::applicationDirPath() + "/../src/cli/leafmill-cli"; }

// Which of the versions the folder holds whole ("0", "1" ...), or why none: book.bin decodes,
// book.js carries the same bytes, and every page and thumbnail file it names is that version's.
QString wholeBook(const QString& folder, const QStringList& versions) {
    const QByteArray bin = TestSupport::readFile(folder + "/files/book.bin");
    BookDescriptionFile description;
    if (!description.decode(bin))
        return description.errorString();
    if (TestSupport::readFile(folder + "/files/book.js") != BookDescriptionFile::scriptForm(bin))
        return "book.js does not carry book.bin";
    QStringList files;
    for (const auto& match : QRegularExpression("<(?:normalUrl|thumbUrl)>\\./([^<]+)<").globalMatch(QString::fromUtf8(description.xml())))
        files << match.captured(1);
    for (int v = 0; v < versions.size() && !files.isEmpty(); ++v) {
        if (std::all_of(files.begin(), files.end(), [&](const QString& file) {
                return QFileInfo(folder + '/' + file).isFile() &&
                       TestSupport::readFile(folder + '/' + file) == TestSupport::readFile(versions[v] + '/' + file);
            }))
            return QString::number(v);
    }
    return files.isEmpty() ? "book.xml names no pages" : "its page files are missing or of different versions";
}

// Lets the child write no file larger than the limit (where no small file system can be mounted).
void limitFileSize(QProcess& process, rlim_t bytes) {
    process.setChildProcessModifier([bytes] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, bytes};
        setrlimit(RLIMIT_FSIZE, &limit);
    });
}

class Interrupted : public Cli {
protected:
    // Publishes a book of `count` pictures of one colour and size into the folder.
    void publishPictures(const QString& folder, QColor colour, QSize size, int count) {
        QStringList args = {"publish", "-o", folder, "--quiet"};
        for (int i = 0; i < count; ++i) {
            args << path(QString("%1-pictures/%2.png").arg(QFileInfo(folder).fileName()).arg(i, 3, 10, QChar('0')));
            ASSERT_TRUE(TestSupport::writeImage(args.last(), size, colour.lighter(100 + i)));
        }
        ASSERT_EQ(run(args).code, 0);
    }
    QProcess* start(const QStringList& arguments) {
        auto* process = iProcesses.emplace_back(std::make_unique<QProcess>()).get();
        process->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process->start(cliProgram(), arguments);
        EXPECT_TRUE(process->waitForStarted());
        return process;
    }
    std::vector<std::unique_ptr<QProcess>> iProcesses;
};
}

TEST_F(Interrupted, AKilledRepublishLeavesTheOldOrTheNewBookWhole) {
    const QStringList versions = {path("red"), path("blue")};
    publishPictures(versions[0], Qt::red, {300, 400}, 40);
    publishPictures(versions[1], Qt::blue, {320, 400}, 40);
    const QString book = path("book");
    auto reopen = [&](const QString& from, int round) {
        return QStringList{"reopen", from, "-o", book, "--quiet", "--title", QString("Round %1").arg(round)};
    };
    QElapsedTimer clock;
    clock.start();
    QProcess* first = start(reopen(versions[0], 0));
    ASSERT_TRUE(first->waitForFinished(120000));
    ASSERT_EQ(first->exitCode(), 0);
    const int fullRun = int(clock.elapsed());

    QRandomGenerator random(20261207);
    int stagedKills = 0;
    for (int round = 1; round <= 20; ++round) {
        // Every third round republishes the book into its own folder.
        QProcess* p = start(reopen(round % 3 == 0 ? book : versions[round % 2], round));
        clock.restart();
        // Half the kills fall anywhere in the run, half once the new book is being written.
        if (round % 2 == 0) {
            while (!QFileInfo::exists(book + '/' + kStaging) && p->state() == QProcess::Running && clock.elapsed() < 60000)
                QThread::usleep(200);
        }
        QThread::msleep(random.bounded(fullRun + 1));
        ::kill(pid_t(p->processId()), SIGKILL);
        p->waitForFinished();
        stagedKills += QFileInfo::exists(book + '/' + kStaging);
        const QString whole = wholeBook(book, versions);
        EXPECT_TRUE(whole == "0" || whole == "1") << "round " << round << ": " << whole;
    }
    std::cout << "[          ] " << stagedKills << " of 20 kills fell while a new book was staged\n";

    QProcess* last = start(reopen(versions[1], 21));
    ASSERT_TRUE(last->waitForFinished(120000));
    EXPECT_EQ(last->exitCode(), 0);
    EXPECT_EQ(wholeBook(book, versions), "1");
    EXPECT_FALSE(QFileInfo::exists(book + '/' + kStaging));
    EXPECT_FALSE(QFileInfo::exists(book + '/' + kLockFile));
}

// The book lives on a small file system of its own (a size-limited tmpfs when this process may
// mount one; otherwise the child gets a file size limit, so big files fail to write instead).
TEST_F(Interrupted, AFullDiskFailsThePublishWithExitFiveAndKeepsTheBook) {
    const QString disk = path("disk");
    QDir().mkpath(disk);
    const bool mounted = QProcess::execute("mount", {"-t", "tmpfs", "-o", "size=2m", "tmpfs", disk}) == 0;
    const std::shared_ptr<void> unmount(nullptr, [&](void*) {
        if (mounted)
            QProcess::execute("umount", {disk});
    });
    std::cout << "[          ] " << (mounted ? "tmpfs of 2 MB" : "file size limit of 64 KB (no mount here)") << '\n';
    const QString book = disk + "/E";
    publishPictures(book, Qt::darkGreen, {200, 260}, 4);
    const auto before = snapshot(book);
    const QString script = path("long-script.html");
    TestSupport::writeFile(script, "<!--" + QByteArray(400 * 1024, 'x') + "-->");
    const QStringList republish = {"reopen", book, "-o", book, "--quiet", "--title", QString(100 * 1024, 'T'), "--script", script};

    auto fillLeaving = [&](qint64 freeBytes) {
        QFile::remove(disk + "/filler");
        struct statvfs fs {};
        statvfs(QFile::encodeName(disk).constData(), &fs);
        const qint64 available = qint64(fs.f_bavail) * qint64(fs.f_bsize);
        QFile filler(disk + "/filler");
        filler.open(QIODevice::WriteOnly);
        filler.write(QByteArray(std::max<qint64>(0, available - freeBytes), '\0'));
    };
    for (const qint64 freeBytes : {0, 16 * 1024, 128 * 1024, 132 * 1024}) {
        if (mounted)
            fillLeaving(freeBytes);
        QProcess p;
        if (!mounted)
            limitFileSize(p, 64 * 1024);
        p.start(cliProgram(), republish);
        ASSERT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 5) << freeBytes << " bytes free";
        EXPECT_TRUE(p.readAllStandardError().contains("keeps the book it held"));
        QFile::remove(disk + "/filler");
        const auto after = snapshot(book);
        EXPECT_TRUE(after == before) << freeBytes << " bytes free; files now: " << after.keys().join(' ').toStdString();
        if (!mounted)
            break;
    }
    if (mounted) {
        QProcess p;
        p.start(cliProgram(), republish);
        ASSERT_TRUE(p.waitForFinished(120000));
        EXPECT_EQ(p.exitCode(), 0) << "with room to spare";
    }
}

// The import's work folders lie on a tiny file system of their own: a tmpfs mounted in a private
// mount namespace, so that nothing else on the machine sees it; without one, the child gets a
// file size limit instead. Pages that no longer fit end the import and say why.
TEST_F(Interrupted, AFullWorkDiskEndsTheImportSayingTheDiskIsFull) {
    const QString pdf = path("many.pdf");
    ASSERT_TRUE(PdfFixtures::makeQtPdf(pdf, 6));
    const QStringList publish = {"publish", pdf, "-o", path("out"), "--quiet"};
    const QString mountWorkFolders =
        "for d in '/tmp/Leaf Mill' /tmp/pageTemp; do mkdir -p \"$d\" && mount -t tmpfs -o size=64k,mode=0700 tmpfs \"$d\" || exit 97; done; "
        "exec \"$0\" \"$@\"";
    QProcess p;
    p.start("unshare", QStringList{"-m", "--propagation", "private", "sh", "-c", mountWorkFolders, cliProgram()} + publish);
    ASSERT_TRUE(p.waitForFinished(120000));
    const bool mounted = p.exitStatus() == QProcess::NormalExit && p.exitCode() != 97 && p.error() != QProcess::FailedToStart;
    std::cout << "[          ] " << (mounted ? "work folders on a tmpfs of 64 KB" : "file size limit of 16 KB (no mount here)") << '\n';
    if (!mounted) {
        limitFileSize(p, 16 * 1024);
        p.start(cliProgram(), publish);
        ASSERT_TRUE(p.waitForFinished(120000));
    }
    const QString err = QString::fromUtf8(p.readAllStandardError());
    EXPECT_EQ(p.exitCode(), 5) << err.toStdString();
    EXPECT_TRUE(err.contains(mounted ? "the disk is full" : "could not be written")) << err.toStdString();
    EXPECT_FALSE(err.contains("could not be rendered")) << err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(path("out/files/book.bin")));
}
