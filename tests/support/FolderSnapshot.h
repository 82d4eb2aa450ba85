#pragma once
// Every file below a folder with its bytes, for checks that nothing changed.
#include "TestSupport.h"

#include <QDir>
#include <QDirIterator>
#include <QMap>

namespace FolderSnapshot {
inline QMap<QString, QByteArray> snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files.insert(QDir(folder).relativeFilePath(path), TestSupport::readFile(path));
    }
    return files;
}
}
