#include "util/Resources.h"

#include "util/BriskUtility.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString gAppFilesRoot;
}

namespace Resources {

QStringList roots() {
    // An installed program uses only what was installed with it, never the tree it was built in.
    if (QCoreApplication::instance()) {
        const QString installed = QDir::cleanPath(QCoreApplication::applicationDirPath() + QStringLiteral("/../share/leafmill"));
        if (QFileInfo(installed).isDir()) return {installed};
    }
    return {QStringLiteral(LEAFMILL_BUILD_RESOURCES), QStringLiteral(LEAFMILL_SOURCE_RESOURCES)};
}

QString path(const QString& relativePath) {
    const QStringList all = roots();
    for (const QString& root : all) {
        const QString candidate = BriskUtility::joinPath(root, relativePath);
        if (QFileInfo::exists(candidate)) return candidate;
    }
    return BriskUtility::joinPath(all.last(), relativePath);
}

QString appFilesPath(const QString& relativePath) {
    if (!gAppFilesRoot.isEmpty())
        return BriskUtility::joinPath(gAppFilesRoot, relativePath);
    return path(BriskUtility::joinPath(QStringLiteral("AppFiles"), relativePath));
}

void setAppFilesRoot(const QString& folder) { gAppFilesRoot = folder; }

} // namespace Resources
