#pragma once
#include <QByteArray>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QMap>
#include <QProcess>
#include <QRandomGenerator>
#include <QString>
#include <unistd.h>

// Fixtures and outside tools (python3, zip, unzip) for the zip tests.
namespace ZipTestSupport {

struct ProcessResult {
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

inline ProcessResult run(const QString& program, const QStringList& arguments, const QString& workingDirectory = {}) {
    QProcess process;
    auto environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    process.setProcessEnvironment(environment);
    if (!workingDirectory.isEmpty())
        process.setWorkingDirectory(workingDirectory);
    process.start(program, arguments);
    process.waitForFinished(120000);
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

inline ProcessResult python(const QString& script, const QStringList& arguments = {}) {
    return run(QStringLiteral("python3"), QStringList{QStringLiteral("-c"), script} + arguments);
}

inline void writeFile(const QString& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

inline QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Bytes that compress somewhat, like real page files: random runs over a small alphabet.
inline QByteArray sampleBytes(qsizetype size, quint32 seed) {
    QRandomGenerator random(seed);
    QByteArray bytes(size, Qt::Uninitialized);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(random.bounded(i % 3 == 0 ? 256 : 16));
    return bytes;
}

inline void makeLink(const QString& target, const QString& linkPath) {
    QDir().mkpath(QFileInfo(linkPath).path());
    [[maybe_unused]] int ignored = symlink(QFile::encodeName(target).constData(), QFile::encodeName(linkPath).constData());
}

// A folder with nested files, an empty folder, a link, a non-ASCII name and a file larger
// than one 256 KiB block.
inline void makeSampleFolder(const QString& root) {
    writeFile(root + QStringLiteral("/index.html"), "<html>book</html>\n");
    writeFile(root + QStringLiteral("/files/book.bin"), sampleBytes(3000, 1));
    writeFile(root + QStringLiteral("/files/page/1.jpg"), sampleBytes(700 * 1024, 2));
    writeFile(root + QStringLiteral("/files/page/2.jpg"), QByteArray());
    writeFile(root + QString::fromUtf8("/files/Übersicht café.txt"), "gr\xC3\xBC\xC3\x9F" "e\n");
    QDir().mkpath(root + QStringLiteral("/files/empty"));
    makeLink(QStringLiteral("page/1.jpg"), root + QStringLiteral("/files/cover.jpg"));
}

inline QByteArray rawLinkTarget(const QString& path) {
    char buffer[4096];
    const ssize_t length = readlink(QFile::encodeName(path).constData(), buffer, sizeof buffer);
    return length < 0 ? QByteArray() : QByteArray(buffer, length);
}

// Relative path -> content for files, "link:" + target for links, "dir" for folders.
inline QMap<QString, QByteArray> treeOf(const QString& root) {
    QMap<QString, QByteArray> tree;
    QDirIterator it(root, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QFileInfo info(path);
        const QString name = QDir(root).relativeFilePath(path);
        if (info.isSymLink())
            tree[name] = "link:" + rawLinkTarget(path);
        else if (info.isDir())
            tree[name] = "dir";
        else
            tree[name] = readFile(path);
    }
    return tree;
}

// Lists every archive member with its bytes as Python's zipfile reads them (after testzip).
inline const char* const kPythonListing = R"(
import base64, sys, zipfile
with zipfile.ZipFile(sys.argv[1]) as z:
    bad = z.testzip()
    if bad is not None:
        print('BAD', bad); sys.exit(2)
    for info in z.infolist():
        mode = info.external_attr >> 16
        print(info.filename + '\t' + base64.b64encode(z.read(info)).decode() + '\t' + oct(mode))
)";

}  // namespace ZipTestSupport
