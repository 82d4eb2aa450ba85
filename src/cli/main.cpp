#include "cli/LeafMillCli.h"
#include "util/Log.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

namespace {
// Qt's and poppler's chatter is for debugging; our own messages say what went wrong.
void routeQtMessages(QtMsgType type, const QMessageLogContext&, const QString& message) {
    if (type == QtCriticalMsg || type == QtFatalMsg)
        spdlog::error("{}", message);
    else
        spdlog::debug("{}", message);
}
}

int main(int argc, char* argv[]) {
    qInstallMessageHandler(routeQtMessages);
    // Fonts and image painting need a GUI application, but never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    Log::setup({}, spdlog::level::warn);
    QStringList arguments = app.arguments();
    arguments.removeFirst();
    QTextStream out(stdout), err(stderr);
    const int code = LeafMillCli::run(arguments, out, err, isatty(fileno(stderr)));
    out.flush();
    err.flush();
    return code;
}
