#pragma once
#include <QObject>
#include <QString>
#include <QVariantMap>

// The default notification centre. Posting is thread-safe; receivers connect to `notified` with
// a context object and Qt queues the call onto the receiver's thread.
class NotificationCenter : public QObject {
    Q_OBJECT
public:
    static NotificationCenter& defaultCenter();
    void postNotification(const QString& name, QObject* object = nullptr, const QVariantMap& userInfo = {});

signals:
    void notified(const QString& name, QObject* object, const QVariantMap& userInfo);
};
