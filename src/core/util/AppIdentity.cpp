#include "util/AppIdentity.h"

#include <QMutex>

namespace {
QMutex identityLock;

struct Identity {
    QString name = QStringLiteral("Leaf Mill for Mac");
    QString shortName = QStringLiteral("LeafMill");
    QString homePage = QStringLiteral("https://leafmill.example.org/");
};

Identity& identity() {
    static Identity current;
    return current;
}

QString read(QString Identity::*field) {
    QMutexLocker l(&identityLock);
    return identity().*field;
}

void write(QString Identity::*field, const QString& value) {
    QMutexLocker l(&identityLock);
    identity().*field = value;
}
} // namespace

namespace AppIdentity {
QString appName() { return read(&Identity::name); }
void setAppName(const QString& name) { write(&Identity::name, name); }
QString appShortName() { return read(&Identity::shortName); }
void setAppShortName(const QString& name) { write(&Identity::shortName, name); }
QString appHomePage() { return read(&Identity::homePage); }
void setAppHomePage(const QString& address) { write(&Identity::homePage, address); }
QString appVersion() { return QStringLiteral(LEAFMILL_VERSION); }
}
