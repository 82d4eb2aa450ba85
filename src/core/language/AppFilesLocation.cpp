#include "AppFilesLocation.h"
#include "util/BriskUtility.h"
#include "util/Resources.h"

namespace {
QString gRoot;
}

namespace AppFilesLocation {

QString path(const QString& relativePath) {
    if (gRoot.isEmpty())
        return Resources::appFilesPath(relativePath);
    return BriskUtility::joinPath(gRoot, relativePath);
}

void setRoot(const QString& folder) { gRoot = folder; }

}
