#include "util/NotificationCenter.h"

NotificationCenter& NotificationCenter::defaultCenter() {
    static NotificationCenter center;
    return center;
}

void NotificationCenter::postNotification(const QString& name, QObject* object, const QVariantMap& userInfo) {
    emit notified(name, object, userInfo);
}
