// Times the desktop application against a peer in the same run and prints the ratios:
//  1. start-up to the first preview painted, against a bare web view opening the same page;
//  2. a whole-book change of a 300-page book to the preview painted again, against the first
//     (cold) publication of that book;
//  3. the event loop's longest stall while a 300-page PDF is imported through the sheet, against
//     the same loop idle.
// Run headless: QT_QPA_PLATFORM=offscreen QTWEBENGINE_DISABLE_SANDBOX=1 app_bench
#include "app/sheets/ImportWindowDelegate.h"
#include "app/LeafMillAppDelegate.h"
#include "app/MainWindow.h"
#include "PdfFixtures.h"
#include "TestSupport.h"
#include "output/FlashPlayerTrust.h"
#include "pages/FlashPageSourceImg.h"
#include "util/AppSettings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QElapsedTimer>
#include <QImage>
#include <QLineEdit>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <cstdio>
#include <functional>

namespace {

bool waitFor(const std::function<bool()>& condition, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
    return true;
}

bool pagesPainted(QWebEngineView* view) {
    bool answered = false, shown = false;
    view->page()->runJavaScript(QStringLiteral("Array.from(document.images).some(i => i.complete && i.naturalWidth > 0)"),
                                [&](const QVariant& r) { shown = r.toBool(); answered = true; });
    waitFor([&] { return answered; }, 5000);
    return shown;
}

// Milliseconds until the view shows a painted page after load() of the URL.
double timeBareView(const QString& page) {
    QWebEngineView view;
    view.resize(1200, 800);
    view.show();
    bool loaded = false;
    QObject::connect(&view, &QWebEngineView::loadFinished, [&] { loaded = true; });
    QElapsedTimer clock;
    clock.start();
    view.load(QUrl::fromLocalFile(page));
    waitFor([&] { return loaded; }, 30000);
    waitFor([&] { return pagesPainted(&view); }, 15000);
    return clock.nsecsElapsed() / 1e6;
}

std::shared_ptr<FlashPageSource> makeImageBook(const QString& folder, int pages) {
    auto book = std::make_shared<FlashPageSourceImg>();
    for (int i = 1; i <= pages; ++i) {
        QImage page(600, 800, QImage::Format_RGB32);
        page.fill(QColor::fromHsv((i * 37) % 360, 60, 240));
        QPainter(&page).drawText(QRect(0, 0, 600, 800), Qt::AlignCenter, QString::number(i));
        const QString path = QStringLiteral("%1/p%2.jpg").arg(folder).arg(i, 3, 10, QLatin1Char('0'));
        page.save(path, "JPG", 80);
        book->addImgPageFromFile(path);
    }
    book->generateNormalPages();
    book->generateThumbPages();
    return book;
}

// Milliseconds from marking the book changed to the preview painted again.
double timeWholeBookChange(LeafMillAppDelegate& app, const std::shared_ptr<FlashPageSource>& book, int& loads) {
    const int before = loads;
    QElapsedTimer clock;
    clock.start();
    BookState state = app.currentBookState();
    state.book.pageSource = book;
    state.bookName = QStringLiteral("bench");
    state.isDemo = false;
    app.changeBook(state, QStringLiteral("Import"));
    app.onTimerCheckRefresh();
    waitFor([&] { return loads > before; }, 60000);
    waitFor([&] { return pagesPainted(app.window()->webView()); }, 15000);
    return clock.nsecsElapsed() / 1e6;
}

// The longest gap between ticks of a 10 ms timer while the condition is false.
double longestStall(const std::function<bool()>& done, int limitMs) {
    QElapsedTimer clock, total;
    clock.start();
    total.start();
    double longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
        longest = qMax(longest, clock.nsecsElapsed() / 1e6);
        clock.restart();
    });
    tick.start(10);
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] { if (done() || total.elapsed() > limitMs) loop.quit(); });
    poll.start(20);
    loop.exec();
    return longest;
}

} // namespace

int main(int argc, char** argv) {
    const QString home = TestSupport::isolateUserFolders();
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication qapp(argc, argv);
    FlashPlayerTrust::setTrustFolders(home + QStringLiteral("/trust-m"), home + QStringLiteral("/trust-u"));
    QTemporaryDir scratch;

    // 1. start-up to the first preview painted
    LeafMillAppDelegate app(true);
    int loads = 0;
    QObject::connect(&app, &LeafMillAppDelegate::previewLoaded, [&] { ++loads; });
    QElapsedTimer clock;
    clock.start();
    app.applicationDidFinishLaunching();
    waitFor([&] { return loads > 0; }, 30000);
    waitFor([&] { return pagesPainted(app.window()->webView()); }, 15000);
    const double startup = clock.nsecsElapsed() / 1e6;
    const double bare = timeBareView(app.flashPreviewFolder() + QStringLiteral("/index.html"));
    std::printf("start-up to first preview painted: %.0f ms (goal 2000); a bare web view opening the same page: %.0f ms; ratio %.2f\n",
                startup, bare, startup / bare);

    // 2. whole-book change of a 300-page book
    const QString images = scratch.filePath(QStringLiteral("images"));
    QDir().mkpath(images);
    const auto book = makeImageBook(images, 300);
    const double cold = timeWholeBookChange(app, book, loads);
    const double again = timeWholeBookChange(app, book, loads);
    std::printf("300-page book, change to preview painted: %.0f ms (goal 500); first publication of it: %.0f ms; ratio %.2f\n",
                again, cold, again / cold);

    // 3. the event loop during a 300-page import
    const QString pdf = scratch.filePath(QStringLiteral("big.pdf"));
    PdfFixtures::makeQtPdf(pdf, 300, QSizeF(300, 400));
    const double idle = longestStall([] { return false; }, 1000);
    app.onImport();
    ImportWindowDelegate* sheet = app.importWindowDelegate();
    sheet->txtImportFile()->setText(pdf);
    sheet->renderEngineType()->button(1)->click();
    QElapsedTimer importClock;
    importClock.start();
    sheet->onImportAction();
    const double stall = longestStall([sheet] { return sheet->isHidden(); }, 600000);
    std::printf("300-page import (%.1f s): longest event-loop stall %.0f ms (goal 100); idle loop: %.0f ms; ratio %.2f\n",
                importClock.elapsed() / 1000.0, stall, idle, stall / qMax(idle, 1.0));
    app.applicationWillTerminate();
    return 0;
}
