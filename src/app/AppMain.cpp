#include "app/AppMain.h"

#include "app/LeafMillAppDelegate.h"
#include "util/AppIdentity.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QIcon>
#include <QTimer>

namespace {
const int kReadyTimeoutMs = 120000;   // how long --quit-when-ready waits for the preview
}

namespace AppMain {

int run(int argc, char** argv, const std::function<std::unique_ptr<LeafMillAppDelegate>()>& makeDelegate) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quirevale"));
    QCoreApplication::setApplicationVersion(AppIdentity::appVersion());
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("org.quirevale.LeafMill")));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Turns a PDF into a page-flipping book."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("pdf"), QStringLiteral("A PDF to import: opens the import sheet with it."),
                                 QStringLiteral("[pdf]"));
    const QCommandLineOption quitWhenReady(QStringLiteral("quit-when-ready"),
        QStringLiteral("Quits once the preview has loaded, with status 0 if it loaded and 1 if not "
                       "(checks that an installation finds its resources)."));
    parser.addOption(quitWhenReady);
    parser.process(app);

    std::unique_ptr<LeafMillAppDelegate> delegate = makeDelegate();
    if (parser.isSet(quitWhenReady)) {
        QObject::connect(delegate.get(), &LeafMillAppDelegate::previewLoaded, &app,
                         [](bool ok) { QCoreApplication::exit(ok ? 0 : 1); });
        QTimer::singleShot(kReadyTimeoutMs, &app, [] { QCoreApplication::exit(1); });
    }
    delegate->applicationDidFinishLaunching();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, delegate.get(),
                     [&delegate] { delegate->applicationWillTerminate(); });
    if (!parser.positionalArguments().isEmpty()) delegate->openForImport(parser.positionalArguments().constFirst());
    return app.exec();
}

} // namespace AppMain
