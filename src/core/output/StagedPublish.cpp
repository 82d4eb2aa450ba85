#include "output/StagedPublish.h"

#include "util/Log.h"
#include "util/AtomicFile.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {
const QString kBook = QStringLiteral("book");
const QString kJournal = QStringLiteral("switch.json");
const QString kPrevious = QStringLiteral("previous");
const QString kBookFiles = QStringLiteral("files");  // holds the book description: switched last

QByteArray native(const QString& path) { return QFile::encodeName(path); }
QString systemError() { return QString::fromLocal8Bit(strerror(errno)); }

// An identity for "is this the staged entry": inode numbers survive renames within the folder.
qint64 inodeOf(const QString& path) {
    struct stat st {};
    return lstat(native(path).constData(), &st) == 0 ? qint64(st.st_ino) : -1;
}

// Mirrors the published tree with hard links (copies where the file system has none).
bool linkTree(const fs::path& from, const fs::path& to, QString& error) {
    std::error_code ec;
    fs::create_directories(to, ec);
    for (fs::recursive_directory_iterator it(from, ec), end; !ec && it != end; it.increment(ec)) {
        const fs::path target = to / fs::relative(it->path(), from, ec);
        const fs::file_status status = it->symlink_status(ec);
        if (ec)
            break;
        if (fs::is_directory(status))
            fs::create_directory(target, ec);
        else if (fs::is_symlink(status))
            fs::copy_symlink(it->path(), target, ec);
        else if (fs::is_regular_file(status)) {
            fs::create_hard_link(it->path(), target, ec);
            if (ec && ec != std::errc::no_space_on_device) {
                ec.clear();
                fs::copy_file(it->path(), target, ec);
            }
        }
    }
    if (ec)
        error = QStringLiteral("cannot prepare the new book beside %1: %2")
                    .arg(QFile::decodeName(from.c_str()), QString::fromStdString(ec.message()));
    return !ec;
}

// Puts the staged entry in place. Swapping both in one step means the folder never lacks the
// entry; file systems that cannot swap get two renames.
bool switchEntry(const QString& staged, const QString& published, const QString& previous, QString& error) {
    const QByteArray from = native(staged), to = native(published);
    struct stat st {};
    bool ok;
    if (lstat(to.constData(), &st) != 0)
        ok = rename(from.constData(), to.constData()) == 0;
    else if (renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_EXCHANGE) == 0)
        ok = true;
    else if (errno == EINVAL || errno == ENOSYS || errno == ENOTSUP)
        ok = rename(to.constData(), native(previous).constData()) == 0 && rename(from.constData(), to.constData()) == 0;
    else
        ok = false;
    if (!ok)
        error = QStringLiteral("cannot put %1 in place: %2").arg(published, systemError());
    return ok;
}

struct Entry {
    QString name;
    qint64 inode;
};

QList<Entry> readJournal(const QString& path) {
    QFile file(path);
    QList<Entry> entries;
    if (!file.open(QIODevice::ReadOnly))
        return entries;
    for (const QJsonValue value : QJsonDocument::fromJson(file.readAll()).array()) {
        const QJsonObject entry = value.toObject();
        const QString name = entry.value(QLatin1String("name")).toString();
        if (!name.isEmpty() && !name.contains(QLatin1Char('/')) && name != QLatin1String("..") && name != QLatin1String("."))
            entries.append({name, qint64(entry.value(QLatin1String("inode")).toDouble(-1))});
    }
    return entries;
}

bool writeJournal(const QString& path, const QList<Entry>& entries) {
    QJsonArray array;
    for (const Entry& entry : entries)
        array.append(QJsonObject{{QStringLiteral("name"), entry.name}, {QStringLiteral("inode"), double(entry.inode)}});
    const QByteArray bytes = QJsonDocument(array).toJson(QJsonDocument::Compact);
    return AtomicFile::write(path, bytes);
}

// Switches every journalled entry that is not in place yet.
bool finishSwitch(const QString& folder, const QString& staging, const QList<Entry>& entries, QString& error) {
    QDir().mkpath(staging + QLatin1Char('/') + kPrevious);
    for (const Entry& entry : entries) {
        const QString published = folder + QLatin1Char('/') + entry.name;
        if (inodeOf(published) == entry.inode)
            continue;
        const QString staged = staging + QLatin1Char('/') + kBook + QLatin1Char('/') + entry.name;
        if (inodeOf(staged) != entry.inode) {
            error = QStringLiteral("the new %1 went missing while it was put in place").arg(published);
            return false;
        }
        if (!switchEntry(staged, published, staging + QLatin1Char('/') + kPrevious + QLatin1Char('/') + entry.name, error))
            return false;
    }
    return true;
}

bool removeTree(const QString& path) {
    std::error_code ec;
    fs::remove_all(fs::path(native(path).constData()), ec);
    return !ec;
}
}

StagedPublish::StagedPublish(const QString& folder) : iFolder(QDir::cleanPath(folder)) {}

StagedPublish::~StagedPublish() {
    if (iOpen)
        rollback();
}

QString StagedPublish::stagingFolder() const {
    return iFolder + QLatin1Char('/') + QLatin1String(kStagingName) + QLatin1Char('/') + kBook;
}

QString StagedPublish::staged(const QString& pathInFolder) const {
    const QString relative = QDir(iFolder).relativeFilePath(pathInFolder);
    return relative == QLatin1String(".") ? stagingFolder() : stagingFolder() + QLatin1Char('/') + relative;
}

bool StagedPublish::begin() {
    iError.clear();
    if (!iLock.lock(iFolder)) {
        iError = iLock.errorString();
        return false;
    }
    if (!recover())
        return false;
    const QString staging = stagingFolder();
    if (!QDir().mkpath(staging)) {
        iError = QStringLiteral("cannot make the folder %1: %2").arg(staging, systemError());
        return false;
    }
    iOpen = true;
    const QString published = iFolder + QLatin1Char('/') + kBookFiles;
    if (QFileInfo(published).isDir() &&
        !linkTree(native(published).constData(), native(staging + QLatin1Char('/') + kBookFiles).constData(), iError)) {
        rollback();
        return false;
    }
    return true;
}

bool StagedPublish::commit() {
    if (!iOpen)
        return false;
    iOpen = false;
    const QString staging = iFolder + QLatin1Char('/') + QLatin1String(kStagingName);
    QList<Entry> entries;
    const QStringList names = QDir(stagingFolder()).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    for (const QString& name : names)
        if (name != kBookFiles)
            entries.append({name, inodeOf(stagingFolder() + QLatin1Char('/') + name)});
    if (names.contains(kBookFiles))
        entries.append({kBookFiles, inodeOf(stagingFolder() + QLatin1Char('/') + kBookFiles)});
    if (!writeJournal(staging + QLatin1Char('/') + kJournal, entries)) {
        iError = QStringLiteral("cannot record the switch to the new book in %1").arg(staging);
        removeTree(staging);
        iLock.unlock();
        return false;
    }
    const bool switched = finishSwitch(iFolder, staging, entries, iError);
    if (switched)
        removeTree(staging);
    iLock.unlock();
    return switched;
}

void StagedPublish::rollback() {
    iOpen = false;
    removeTree(iFolder + QLatin1Char('/') + QLatin1String(kStagingName));
    iLock.unlock();
}

bool StagedPublish::recover() {
    const QString folder = QDir::cleanPath(iFolder);
    const QString staging = folder + QLatin1Char('/') + QLatin1String(kStagingName);
    if (!QFileInfo::exists(staging))
        return true;
    const QList<Entry> entries = readJournal(staging + QLatin1Char('/') + kJournal);
    if (!entries.isEmpty()) {
        spdlog::info("finishing the interrupted publish into {}", folder);
        if (!finishSwitch(folder, staging, entries, iError))
            return false;
    } else {
        spdlog::info("throwing away the unfinished publish in {}", folder);
    }
    if (!removeTree(staging)) {
        iError = QStringLiteral("cannot remove %1").arg(staging);
        return false;
    }
    return true;
}
