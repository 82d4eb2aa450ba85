#include "AppIdentity.h"

#include <QMutex>

namespace {
QMutex nameLock;
QString& currentName() {
    static QString name = QStringLiteral("Leaf Mill for Mac");
    return name;
}
}

namespace AppIdentity {
QString appName() {
    QMutexLocker l(&nameLock);
    return currentName();
}
void setAppName(const QString& name) {
    QMutexLocker l(&nameLock);
    currentName() = name;
}
QString appShortName() { return QStringLiteral("LeafMill"); }
QString appHomePage() { return QStringLiteral("https://leafmill.example.org/"); }
QString appVersion() { return QStringLiteral(LEAFMILL_VERSION); }
}
