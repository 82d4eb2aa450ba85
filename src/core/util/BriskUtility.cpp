#include "util/BriskUtility.h"

#include "util/Base64.h"
#include "util/Log.h"

#include <QDesktopServices>
#include <QDir>
#include <QMutex>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>
#include <QUrl>

#include <cerrno>
#include <cstdlib>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A folder we may write into: ours, a real folder (not a link), not writable by others.
bool isPrivateFolderOfOurs(const QString& path) {
    struct stat st {};
    if (lstat(QFile::encodeName(path).constData(), &st) != 0) return false;
    return S_ISDIR(st.st_mode) && st.st_uid == geteuid() && (st.st_mode & 0077) == 0;
}

// Makes "/tmp/<name>" as a private folder, or checks that the existing one is ours.
bool ensurePrivateFolder(const QString& path) {
    const QByteArray native = QFile::encodeName(path);
    if (mkdir(native.constData(), 0700) == 0) return true;
    if (errno != EEXIST) return false;
    return isPrivateFolderOfOurs(path);
}

const QString kOwnerFile = QStringLiteral(".owner");

bool isRunning(qint64 pid) { return pid > 0 && (kill(pid_t(pid), 0) == 0 || errno != ESRCH); }

// Work folders of processes that died without cleaning up (killed, crashed) can hold tens of
// megabytes each; a folder whose owner process is gone goes. Folders without an owner record are
// left alone.
void removeFoldersOfDeadProcesses(const QString& parent) {
    const QStringList names = QDir(parent).entryList({QStringLiteral("temp.*")}, QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& name : names) {
        const QString folder = parent + QLatin1Char('/') + name;
        QFile owner(folder + QLatin1Char('/') + kOwnerFile);
        if (!owner.open(QIODevice::ReadOnly)) continue;
        bool ok = false;
        const qint64 pid = owner.readAll().trimmed().toLongLong(&ok);
        if (ok && !isRunning(pid)) QDir(folder).removeRecursively();
    }
}

// The work folders this run made; they go when the program ends, whichever way it returns.
class RunFolders {
public:
    void add(const QString& folder) {
        QMutexLocker locker(&iLock);
        iFolders << folder;
    }
    ~RunFolders() {
        for (const QString& folder : std::as_const(iFolders)) QDir(folder).removeRecursively();
    }

private:
    QMutex iLock;
    QStringList iFolders;
};

RunFolders& runFolders() {
    static RunFolders folders;
    return folders;
}

QString makeTempFolderIn(const QString& parent) {
    removeFoldersOfDeadProcesses(parent);
    QByteArray pattern = QFile::encodeName(parent + QStringLiteral("/temp.XXXXXX"));
    if (!mkdtemp(pattern.data())) return {};
    const QString folder = QFile::decodeName(pattern);
    runFolders().add(folder);
    QFile owner(folder + QLatin1Char('/') + kOwnerFile);
    if (owner.open(QIODevice::WriteOnly)) owner.write(QByteArray::number(qint64(getpid())));
    return folder;
}

} // namespace

namespace BriskUtility {

QString joinPath(const QString& a, const QString& b) {
    if (a.isEmpty()) return QDir::cleanPath(b);
    if (b.isEmpty()) return QDir::cleanPath(a);
    return QDir::cleanPath(a + QLatin1Char('/') + b);
}

QString applicationSupportRoot() {
    const QString root = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return root.isEmpty() ? QStringLiteral("~/Library/Application Support/") : root;
}

QString userAppFolderForSubFolder(const QString& relativePath) {
    const QString path = joinPath(applicationSupportRoot(), relativePath);
    if (!QFileInfo::exists(path)) QDir().mkpath(path);
    return path;
}

QString tmpDiractoryForCurrentUser() {
    const QString tmp = QDir::tempPath();
    return tmp.isEmpty() ? QStringLiteral("/tmp") : tmp;
}

QString forceTmpDiractory(const QString& name) {
    // "/tmp/<name>" is shared by every user of the machine: only use it when it is ours.
    const QString shared = joinPath(QStringLiteral("/tmp"), name);
    if (ensurePrivateFolder(shared)) {
        const QString folder = makeTempFolderIn(shared);
        if (!folder.isEmpty()) return folder;
    }
    QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    if (cache.isEmpty()) cache = QDir::homePath() + QStringLiteral("/.cache");
    const QString fallbackRoot = joinPath(cache, QStringLiteral("LeafMill/tmp/") + name);
    QDir().mkpath(fallbackRoot);
    QFile::setPermissions(fallbackRoot, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QString folder = makeTempFolderIn(fallbackRoot);
    Log::system(QStringLiteral("\"%1\" is not ours, using %2").arg(shared, folder));
    return folder.isEmpty() ? fallbackRoot : folder;
}

static QStringList namesEndingWith(const QString& folder, const QStringList& suffixes) {
    QStringList names;
    QDirIterator it(folder, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    while (it.hasNext()) {
        it.next();
        const QString name = it.fileName();
        for (const QString& suffix : suffixes) {
            if (name.endsWith(suffix, Qt::CaseSensitive)) {
                names << name;
                break;
            }
        }
    }
    return names;
}

QStringList imageFilesOfDiractoryAtPath(const QString& folder) {
    return namesEndingWith(folder, {QStringLiteral(".jpg"), QStringLiteral(".png")});
}

QStringList filesOfFolder(const QString& folder, const QString& ext) {
    return namesEndingWith(folder, {QLatin1Char('.') + ext});
}

static void collectSubFolders(const QString& folder, QStringList& out) {
    QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot | QDir::NoSymLinks,
                                                    QDir::Name);
    for (const QFileInfo& entry : entries) {
        if (entry.isSymLink()) continue;
        const QString path = joinPath(folder, entry.fileName());
        out << path;
        collectSubFolders(path, out);
    }
}

QStringList subFolderOfFolder(const QString& folder) {
    QStringList out;
    collectSubFolders(folder, out);
    return out;
}

void openFolderFromFolderOrFile(const QString& path) {
    const QFileInfo info(path);
    QDesktopServices::openUrl(QUrl::fromLocalFile(info.isDir() ? path : info.absolutePath()));
}

QByteArray decodebase64String(const QString& text) { return Base64::dataFromBase64String(text); }

} // namespace BriskUtility
