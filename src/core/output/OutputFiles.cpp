#include "output/OutputFiles.h"

#include "util/Log.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <filesystem>

namespace fs = std::filesystem;

namespace {
fs::path nativePath(const QString& path) { return fs::path(QFile::encodeName(path).toStdString()); }

bool sameSizeAndTime(const fs::path& a, const fs::path& b) {
    std::error_code ec1, ec2, ec3, ec4;
    const bool same = fs::file_size(a, ec1) == fs::file_size(b, ec2) &&
                      fs::last_write_time(a, ec3) == fs::last_write_time(b, ec4);
    return same && !ec1 && !ec2 && !ec3 && !ec4;
}
}

namespace OutputFiles {

bool isSameFile(const QString& a, const QString& b) {
    std::error_code ec;
    return fs::equivalent(nativePath(a), nativePath(b), ec) && !ec;
}

bool copyFile(const QString& source, const QString& target) {
    const fs::path from = nativePath(source), to = nativePath(target);
    std::error_code ec;
    if (!fs::is_regular_file(from, ec))
        return false;
    if (isSameFile(source, target) || (fs::is_regular_file(to, ec) && sameSizeAndTime(from, to)))
        return true;
    fs::remove(to, ec);
    if (!fs::copy_file(from, to, fs::copy_options::overwrite_existing, ec))
        return false;
    fs::last_write_time(to, fs::last_write_time(from, ec), ec);
    return true;
}

bool haveSameContent(const QString& a, const QString& b) {
    if (isSameFile(a, b))
        return true;
    QFile first(a), second(b);
    if (first.size() != second.size() || !first.open(QIODevice::ReadOnly) || !second.open(QIODevice::ReadOnly))
        return false;
    constexpr qint64 kChunk = 1 << 20;
    while (!first.atEnd()) {
        const QByteArray chunk = first.read(kChunk);
        if (chunk.isEmpty() || chunk != second.read(kChunk))
            return false;
    }
    return true;
}

// The link is made beside the target and renamed over it, so a failure leaves the target as it
// was (it may be the very file a caller copies from next).
bool linkFile(const QString& existing, const QString& target) {
    if (isSameFile(existing, target))
        return true;
    const fs::path to = nativePath(target);
    fs::path aside = to;
    aside += ".link";
    std::error_code ec;
    fs::remove(aside, ec);
    fs::create_hard_link(nativePath(existing), aside, ec);
    if (!ec)
        fs::rename(aside, to, ec);
    if (ec)
        fs::remove(aside, ec);
    return isSameFile(existing, target);
}

bool copyFolder(const QString& source, const QString& target) {
    std::error_code ec;
    fs::create_directories(nativePath(target), ec);
    fs::copy(nativePath(source), nativePath(target),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing | fs::copy_options::skip_symlinks, ec);
    const bool copied = !ec && QFileInfo(source).isDir();
    if (!copied)
        spdlog::error("copying the folder {} to {} failed: {}", source, target,
                      ec ? ec.message() : std::string("it is no folder"));
    return copied;
}

bool removePath(const QString& path) {
    std::error_code ec;
    fs::remove_all(nativePath(path), ec);
    return !ec;
}

QString relativeURL(const QString& folder, const QString& subFolder, const QString& name, const QString& ext) {
    return QStringLiteral("./%1/%2/%3.%4").arg(folder, subFolder, name, ext);
}

}
