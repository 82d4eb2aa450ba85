#pragma once
#include "pages/ImportProgress.h"
#include "util/NotificationCenter.h"
#include <QImage>
#include <QMutex>
#include <QString>
#include <QVariantMap>
#include <functional>

// Records "ImportProgressInfoMSG" notifications from any thread; an optional hook runs on the
// posting thread.
class ProgressRecorder {
public:
    using Entry = ImportProgress;
    explicit ProgressRecorder(std::function<void(const Entry&)> hook = {}) : iHook(std::move(hook)) {
        iConnection = QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::notified,
                                       [this](const QString& name, QObject*, const QVariantMap& info) {
                                           if (name != QStringLiteral("ImportProgressInfoMSG"))
                                               return;
                                           const Entry e = ImportProgress::fromUserInfo(info);
                                           {
                                               QMutexLocker l(&iLock);
                                               iEntries.append(e);
                                           }
                                           if (iHook)
                                               iHook(e);
                                       });
    }
    ~ProgressRecorder() { QObject::disconnect(iConnection); }
    QList<Entry> entries() const {
        QMutexLocker l(&iLock);
        return iEntries;
    }
    QStringList summary() const {
        QStringList out;
        for (const Entry& e : entries())
            out << QStringLiteral("%1 %2/%3").arg(e.type).arg(e.pageIndex).arg(e.totalPage);
        return out;
    }

private:
    std::function<void(const Entry&)> iHook;
    QMetaObject::Connection iConnection;
    mutable QMutex iLock;
    QList<Entry> iEntries;
};

inline QSize imageSize(const QString& path) {
    return QImage(path).size();
}
