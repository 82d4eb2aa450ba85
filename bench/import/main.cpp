// Times our PDF import against pdftoppm on the same pages in one run and prints the ratios: a
// generated text manual of N pages, then the PDF given, if any.
//   bench_import [book.pdf] [--pages N] [--rounds R]   (N pages in the generated book, default 300;
//                                                       R rounds of the timed runs, default 3)
//   bench_import --make-book out.pdf [--pages N]   writes the generated book and stops
//   bench_import --ours-only [--no-zoom] [book.pdf] [--pages N]  our import alone, for a profiler
#include "pages/FlashPageSourcePDF.h"
#include "pages/ImportProgress.h"
#include "pages/ImportPDFOperation.h"
#include "pages/PageRasterizer.h"
#include "pages/PageRenderPipeline.h"
#include "pages/PageText.h"
#include "pages/PDFToSWFPageConverter.h"
#include "util/NotificationCenter.h"
#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <poppler-qt6.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// A book that looks like a real one: text on every page, a photograph on every third.
bool makeBook(const QString& path, int pageCount) {
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(QPageSize::A4));
    QImage photo(600, 400, QImage::Format_RGB32);
    QRandomGenerator random(7);
    for (int y = 0; y < photo.height(); ++y)
        for (int x = 0; x < photo.width(); ++x)
            photo.setPixel(x, y, qRgb((x * 255 / 600 + int(random.bounded(40))) % 256, (y * 255 / 400) % 256,
                                      int(random.bounded(256))));
    const QString line = QStringLiteral("The quick brown fox jumps over the lazy dog while the mill wheel turns, page %1.");
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int page = 0; page < pageCount; ++page) {
        if (page)
            writer.newPage();
        QFont font = painter.font();
        font.setPointSize(20);
        painter.setFont(font);
        painter.drawText(QPointF(60, 70), QStringLiteral("Chapter %1").arg(page / 10 + 1));
        font.setPointSize(10);
        painter.setFont(font);
        const bool withPhoto = page % 3 == 0;
        for (int row = 0; row < (withPhoto ? 28 : 58); ++row)
            painter.drawText(QPointF(60, 100 + row * 12.5), line.arg(page + 1));
        if (withPhoto)
            painter.drawImage(QRectF(60, 460, 475, 316), photo);
        painter.setPen(QPen(Qt::darkGray, 1));
        painter.drawLine(QPointF(60, 800), QPointF(535, 800));
    }
    return painter.end();
}

// CPU seconds (user + system) of this process or of its waited-for children.
double cpuSeconds(int who) {
    rusage usage{};
    getrusage(who, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec + (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

struct Timing {
    qint64 ms = -1;
    double cpu = 0;
};

// Runs start with nothing left to write from the run before, whose hundreds of megabytes would
// otherwise slow the next one's writes.
void settleDisk() {
    ::sync();
}

Timing runTimed(const QString& program, const QStringList& arguments) {
    settleDisk();
    const double cpuBefore = cpuSeconds(RUSAGE_CHILDREN);
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    QElapsedTimer timer;
    timer.start();
    process.start(program, arguments);
    if (!process.waitForFinished(-1) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return {};
    return {timer.elapsed(), cpuSeconds(RUSAGE_CHILDREN) - cpuBefore};
}

struct OurRun {
    qint64 ms = 0;
    double cpu = 0;
    qsizetype pages = 0;
};

OurRun runOurImport(const QString& pdf, bool zoomPages) {
    settleDisk();
    const auto quality = ImportPDFOperation::qualityForLevel(0);
    ImportPDFOperation operation(pdf, QStringLiteral("ALL"), quality.DPI, quality.quality);
    operation.setRenderEngineType(1);
    operation.setZoomPages(zoomPages);
    const double cpuBefore = cpuSeconds(RUSAGE_SELF);
    QElapsedTimer timer;
    timer.start();
    operation.start();
    operation.waitUntilFinished();
    OurRun run{timer.elapsed(), cpuSeconds(RUSAGE_SELF) - cpuBefore, 0};
    if (const auto source = operation.flashPageSource())
        run.pages = source->pages().size() + source->zoomedPages().size() + source->thumbPages().size() +
                    source->phonePages().size();
    else
        std::fprintf(stderr, "our import failed: %s\n", qPrintable(operation.errorString()));
    return run;
}

// Milliseconds from cancel (after the tenth page) until the operation has finished and cleaned up.
qint64 cancelLatency(const QString& pdf) {
    ImportPDFOperation operation(pdf, QStringLiteral("ALL"), 144, 100);
    operation.setRenderEngineType(1);
    operation.setZoomPages(true);
    QElapsedTimer sinceCancel;
    std::atomic<bool> cancelled{false};
    const auto connection = QObject::connect(
        &NotificationCenter::defaultCenter(), &NotificationCenter::notified,
        [&](const QString&, QObject*, const QVariantMap& info) {
            if (ImportProgress::fromUserInfo(info).pageIndex >= 10 && !cancelled.exchange(true)) {
                sinceCancel.start();
                operation.cancel();
            }
        });
    operation.start();
    operation.waitUntilFinished();
    QObject::disconnect(connection);
    return cancelled ? sinceCancel.elapsed() : -1;
}

// CPU seconds of this thread.
double threadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec + now.tv_nsec / 1e9;
}

// CPU milliseconds a page on one thread: poppler-qt6's Splash drawing and our cairo drawing at the
// page and zoom sizes, and reading the page's words.
void compareRenderers(const QString& pdf, Poppler::Document* doc, int pages) {
    const PageRasterizer rasterizer(pdf);
    const int sample = qMin(pages, 30);
    auto perPage = [&](auto work) {
        const double before = threadCpuSeconds();
        for (int n = 1; n <= sample; ++n)
            work(n);
        return (threadCpuSeconds() - before) * 1000 / sample;
    };
    for (int box : {1440, 2880}) {
        const double splash = perPage([&](int n) { PDFToSWFPageConverter::renderPage(doc, n, box); });
        const double cairo = perPage([&](int n) { PDFToSWFPageConverter::renderPage(doc, n, box, &rasterizer); });
        std::printf("drawing at %d px, one thread: Splash %.1f ms a page, cairo %.1f ms (%.2fx)\n", box, splash, cairo,
                    cairo / qMax(0.001, splash));
    }
    std::printf("reading the words on their own, one thread: %.1f ms a page\n",
                perPage([&](int n) { PageText::fromPage(doc, n); }));
}

// CPU seconds the words of every page add to the import, which collects them while it draws the
// page: drawing with the words against drawing alone, on a sample of pages at 144 dpi. The fonts
// are loaded by an untimed first pass, and each way's fastest of three passes counts, so neither
// the first pass's font loading nor a moment of a busy machine is taken for the words' cost.
double textSeconds(const QString& pdf, Poppler::Document* doc, int pages) {
    const PageRasterizer rasterizer(pdf);
    const int sample = qMin(pages, 30);
    const auto drawing = [&](bool withText) {
        const double before = threadCpuSeconds();
        for (int n = 1; n <= sample; ++n) {
            const QSize size = (PDFToSWFPageConverter::pageSizeInPoints(doc, n) * 2).toSize();
            if (withText)
                rasterizer.renderWithText(n, size);
            else
                rasterizer.render(n, size);
        }
        return threadCpuSeconds() - before;
    };
    drawing(false);
    double with = drawing(true), without = drawing(false);
    for (int pass = 1; pass < 3; ++pass) {
        with = qMin(with, drawing(true));
        without = qMin(without, drawing(false));
    }
    return qMax(0.0, with - without) * pages / sample;
}

long peakMemoryMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

// Our import with and without the zoom pictures, and pdftoppm, timed one after the other.
struct Round {
    OurRun ours, noZoom;
    Timing peer;
    double ratio() const { return double(ours.ms) / double(qMax<qint64>(1, peer.ms)); }
    double noZoomRatio() const { return double(noZoom.ms) / double(qMax<qint64>(1, peer.ms)); }
};

const Round& medianRound(const QList<Round>& rounds, double (Round::*ratio)() const) {
    QList<const Round*> sorted;
    for (const Round& round : rounds)
        sorted << &round;
    std::sort(sorted.begin(), sorted.end(), [&](const Round* a, const Round* b) { return (a->*ratio)() < (b->*ratio)(); });
    return *sorted[sorted.size() / 2];
}

bool benchBook(const QString& pdf, const QString& work, int roundCount) {
    const std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(pdf);
    if (!doc || doc->isLocked()) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(pdf));
        return false;
    }
    const int pages = doc->numPages();
    std::printf("book: %s, %d pages, %d workers\n", qPrintable(QFileInfo(pdf).fileName()), pages,
                PageRenderPipeline::defaultWorkerCount());

    // Each round times the three in turn, so a round's ratios compare runs made close together; the
    // medians of the rounds tell more than any one run on a machine whose speed drifts. Every other
    // round runs them in the reverse order, so a drift favours neither side.
    QList<Round> rounds;
    long memory = 0;
    for (int i = 0; i < roundCount; ++i) {
        Round round;
        const auto timeOurs = [&] {
            round.ours = runOurImport(pdf, true);
            if (i == 0)
                memory = peakMemoryMB();
        };
        const auto timeNoZoom = [&] { round.noZoom = runOurImport(pdf, false); };
        const auto timePeer = [&] {   // into a new folder each time, as our import writes new files
            const QTemporaryDir out(work + QStringLiteral("/pdftoppm-XXXXXX"));
            round.peer = runTimed(QStringLiteral("pdftoppm"),
                                  {"-jpeg", "-jpegopt", "quality=100", "-scale-to", "1440", pdf, out.path() + "/p"});
        };
        if (i % 2 == 0) {
            timeOurs();
            timeNoZoom();
            timePeer();
        } else {
            timePeer();
            timeNoZoom();
            timeOurs();
        }
        if (round.peer.ms < 0) {
            std::printf("pdftoppm failed\n");
            return false;
        }
        std::printf("round %d: ours %.2f s, without the zoom pictures %.2f s, pdftoppm %.2f s: ratios %.2f and %.2f\n",
                    i + 1, round.ours.ms / 1000.0, round.noZoom.ms / 1000.0, round.peer.ms / 1000.0, round.ratio(),
                    round.noZoomRatio());
        rounds << round;
    }
    const Round& typical = medianRound(rounds, &Round::ratio);
    const OurRun& ours = typical.ours;
    const OurRun& noZoom = medianRound(rounds, &Round::noZoomRatio).noZoom;
    const Timing& peer = typical.peer;
    const QString mutool = QStandardPaths::findExecutable(QStringLiteral("mutool"));
    const Timing reference = mutool.isEmpty() ? Timing()
        : runTimed(mutool, {"draw", "-q", "-r", "300", "-w", "1440", "-h", "1440", "-F", "pnm", "-o",
                            "/dev/null", pdf});
    const qint64 cancel = cancelLatency(pdf);

    auto perSecond = [&](qint64 ms) { return ms > 0 ? pages * 1000.0 / ms : 0.0; };
    auto report = [&](const char* what, qint64 ms, double cpu) {
        std::printf("%-58s %7.2f s  %6.1f pages/s  cpu %6.2f s\n", what, ms / 1000.0, perSecond(ms), cpu);
    };
    report("ours (pages 1440 px q100, zoom 2x, text, thumbs, phone)", ours.ms, ours.cpu);
    report("ours without the zoom pictures", noZoom.ms, noZoom.cpu);
    report("pdftoppm (pages 1440 px q100 only)", peer.ms, peer.cpu);
    if (reference.ms >= 0)
        report("mutool draw (pages 1440 px PNM only, for reference)", reference.ms, reference.cpu);
    else
        std::printf("mutool draw: not installed\n");
    std::printf("our files: %lld, peak memory of our import: %ld MB\n", static_cast<long long>(ours.pages), memory);
    if (cancel >= 0)
        std::printf("cancel after page 10 took %lld ms (one page per worker is about %.0f ms)\n",
                    static_cast<long long>(cancel), ours.ms / double(qMax(1, pages)) * PageRenderPipeline::defaultWorkerCount());
    double load = 0;
    getloadavg(&load, 1);
    std::printf("load average during the run: %.1f on %d cores\n", load, QThread::idealThreadCount());
    const double textCpu = textSeconds(pdf, doc.get(), pages);
    compareRenderers(pdf, doc.get(), pages);
    std::printf("ratio ours/pdftoppm, median of %d rounds: %.2f (target <= 1.0)\n", roundCount, typical.ratio());
    std::printf("ratio ours without zoom pictures/pdftoppm, median of %d rounds: %.2f (target <= 0.5)\n", roundCount,
                medianRound(rounds, &Round::noZoomRatio).noZoomRatio());
    std::printf("words collected while drawing: %.2f s cpu, %.1f%% of our import's cpu (target <= 10%%)\n\n", textCpu,
                100 * textCpu / qMax(0.001, ours.cpu));
    return true;
}

}

int main(int argc, char* argv[]) {
    QGuiApplication app(argc, argv);
    QString pdf;
    QString bookOnly;
    bool oursOnly = false;
    bool zoomPages = true;
    int pageCount = 300;
    int roundCount = 3;
    const QStringList args = app.arguments().mid(1);
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QStringLiteral("--pages") && i + 1 < args.size())
            pageCount = args[++i].toInt();
        else if (args[i] == QStringLiteral("--make-book") && i + 1 < args.size())
            bookOnly = args[++i];
        else if (args[i] == QStringLiteral("--rounds") && i + 1 < args.size())
            roundCount = qMax(1, args[++i].toInt());
        else if (args[i] == QStringLiteral("--ours-only"))
            oursOnly = true;
        else if (args[i] == QStringLiteral("--no-zoom"))
            zoomPages = false;
        else
            pdf = args[i];
    }
    if (!bookOnly.isEmpty())
        return makeBook(bookOnly, pageCount) ? 0 : 1;
    QTemporaryDir work;
    const QString generated = work.filePath(QStringLiteral("manual.pdf"));
    if (!makeBook(generated, pageCount)) {
        std::fprintf(stderr, "cannot make the benchmark book\n");
        return 1;
    }
    if (oursOnly) {
        const OurRun run = runOurImport(pdf.isEmpty() ? generated : pdf, zoomPages);
        std::printf("our import: %.2f s, cpu %.2f s, %lld files\n", run.ms / 1000.0, run.cpu, static_cast<long long>(run.pages));
        return run.pages > 0 ? 0 : 1;
    }
    int failures = 0;
    for (const QString& book : pdf.isEmpty() ? QStringList{generated} : QStringList{generated, pdf})
        failures += benchBook(book, work.path(), roundCount) ? 0 : 1;
    return failures;
}
