#pragma once
#include "pages/ImportProgress.h"
#include "util/NotificationCenter.h"
#include "util/Xml.h"
#include <QImage>
#include <QMutex>
#include <QRectF>
#include <functional>

// Records import progress notifications from any thread; an optional hook runs on the posting thread.
class ProgressRecorder {
public:
    using Entry = ImportProgress;
    explicit ProgressRecorder(std::function<void(const Entry&)> hook = {}) {
        const auto record = [this, hook](const QString& name, QObject*, const QVariantMap& info) {
            if (name != ImportProgressInfoMSG)
                return;
            const Entry e = ImportProgress::fromUserInfo(info);
            {
                QMutexLocker lock(&iLock);
                iEntries.append(e);
            }
            if (hook)
                hook(e);
        };
        iConnection = QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::notified, record);
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
    QMetaObject::Connection iConnection;
    mutable QMutex iLock;
    QList<Entry> iEntries;
};

inline QSize imageSize(const QString& path) { return QImage(path).size(); }

// Where a link of the book sits, as fractions of the page.
inline QRectF placeOf(const pugi::xml_node& anno) {
    const pugi::xml_node l = anno.child("location");
    return QRectF(Xml::attr(l, "x").toDouble(), Xml::attr(l, "y").toDouble(), Xml::attr(l, "width").toDouble(),
                  Xml::attr(l, "height").toDouble());
}
