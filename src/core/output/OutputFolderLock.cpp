#include "output/OutputFolderLock.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QString systemError() { return QString::fromLocal8Bit(strerror(errno)); }

QByteArray ownerOf(int fd) {
    char buffer[32] = {};
    const ssize_t n = pread(fd, buffer, sizeof buffer - 1, 0);
    return n > 0 ? QByteArray(buffer, int(n)).trimmed() : QByteArray();
}

// The file at the path is still the one open as fd (its previous owner may have removed it
// between our open and our lock).
bool stillNamed(int fd, const QByteArray& path) {
    struct stat open {}, named {};
    return fstat(fd, &open) == 0 && stat(path.constData(), &named) == 0 && open.st_dev == named.st_dev &&
           open.st_ino == named.st_ino;
}
}

OutputFolderLock::~OutputFolderLock() { unlock(); }

bool OutputFolderLock::lock(const QString& folder) {
    unlock();
    iError.clear();
    iPath = QDir(folder).filePath(QLatin1String(kFileName));
    const QByteArray path = QFile::encodeName(iPath);
    for (int attempt = 0; attempt < 100; ++attempt) {
        const int fd = open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (fd < 0) {
            iError = QStringLiteral("cannot make the lock file %1: %2").arg(iPath, systemError());
            return false;
        }
        if (flock(fd, LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK) {
            const QByteArray owner = ownerOf(fd);
            close(fd);
            iError = QStringLiteral("another publish%1 is writing into %2; try again when it has finished")
                         .arg(owner.isEmpty() ? QString() : QStringLiteral(" (process %1)").arg(QString::fromLatin1(owner)), folder);
            return false;
        }
        if (!stillNamed(fd, path)) {
            close(fd);
            continue;
        }
        const QByteArray pid = QByteArray::number(qint64(getpid())) + '\n';
        if (ftruncate(fd, 0) != 0 || pwrite(fd, pid.constData(), size_t(pid.size()), 0) != pid.size()) {
            iError = QStringLiteral("cannot write the lock file %1: %2").arg(iPath, systemError());
            unlink(path.constData());
            close(fd);
            return false;
        }
        iFd = fd;
        return true;
    }
    iError = QStringLiteral("cannot lock %1: its lock file keeps changing").arg(folder);
    return false;
}

void OutputFolderLock::unlock() {
    if (iFd < 0)
        return;
    unlink(QFile::encodeName(iPath).constData());
    close(iFd);
    iFd = -1;
}
