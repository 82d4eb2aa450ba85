#include "app/AppMain.h"

#include "app/LeafMillAppDelegate.h"
#include "util/AppIdentity.h"

#include <QApplication>

namespace AppMain {

int run(int argc, char** argv, const std::function<std::unique_ptr<LeafMillAppDelegate>()>& makeDelegate) {
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
    QApplication app(argc, argv);
    QCoreApplication::setOrganizationName(QStringLiteral("Quirevale"));
    QCoreApplication::setApplicationVersion(AppIdentity::appVersion());
    std::unique_ptr<LeafMillAppDelegate> delegate = makeDelegate();
    delegate->applicationDidFinishLaunching();
    QObject::connect(&app, &QCoreApplication::aboutToQuit, delegate.get(),
                     [&delegate] { delegate->applicationWillTerminate(); });
    return app.exec();
}

} // namespace AppMain
