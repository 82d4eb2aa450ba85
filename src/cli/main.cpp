#include "LeafMillCli.h"
#include "util/Log.h"

#include <QGuiApplication>
#include <QTextStream>
#include <cstdio>
#include <unistd.h>

int main(int argc, char* argv[]) {
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
