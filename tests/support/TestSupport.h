#pragma once
// Shared test helpers: private user folders, small file helpers.
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cstdlib>
#include <ostream>

namespace TestSupport {

// Points HOME and the XDG folders at one temporary folder for the whole test program, so that
// settings, application-support folders and caches never touch the real user's. Call it from a
// static initialiser, before anything asks Qt for a standard path.
inline QString isolateUserFolders() {
    static QTemporaryDir home(QDir::tempPath() + QStringLiteral("/leafmill-test-home-XXXXXX"));
    const QByteArray root = QFile::encodeName(home.path());
    setenv("HOME", root.constData(), 1);
    setenv("XDG_DATA_HOME", (root + "/.local/share").constData(), 1);
    setenv("XDG_CONFIG_HOME", (root + "/.config").constData(), 1);
    setenv("XDG_CACHE_HOME", (root + "/.cache").constData(), 1);
    QDir().mkpath(home.path() + QStringLiteral("/Documents"));
    return home.path();
}

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// A picture of one colour, in the format its name gives.
inline bool writeImage(const QString& path, QSize size, const QColor& colour) {
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    return image.save(path);
}

inline QByteArray readFile(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// What an outside program left: exitCode is -1 unless it ran to its end and exited normally.
struct ToolRun {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ToolRun runTool(const QString& program, const QStringList& arguments, const QString& workingDirectory = {}) {
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    const bool finished = process.waitForFinished(120000);
    if (!finished)
        process.kill();
    const bool normal = finished && process.exitStatus() == QProcess::NormalExit;
    return {normal ? process.exitCode() : -1, process.readAllStandardOutput(), process.readAllStandardError()};
}

} // namespace TestSupport

// Failed checks print texts readably, also in the messages streamed after a check.
inline void PrintTo(const QString& text, std::ostream* os) { *os << '"' << text.toStdString() << '"'; }
inline std::ostream& operator<<(std::ostream& os, const QString& text) { return os << text.toStdString(); }
