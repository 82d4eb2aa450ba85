#include "util/AtomicFile.h"

#include <QFile>
#include <QSaveFile>
#include <cstdio>

namespace AtomicFile {

bool write(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit();
}

bool writeScratch(const QString& path, const QByteArray& bytes) {
    const QString part = path + QStringLiteral(".part");
    QFile file(part);
    bool written = file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
    file.close();
    written = written && file.error() == QFileDevice::NoError &&
              std::rename(QFile::encodeName(part).constData(), QFile::encodeName(path).constData()) == 0;
    if (!written)
        QFile::remove(part);
    return written;
}

}
