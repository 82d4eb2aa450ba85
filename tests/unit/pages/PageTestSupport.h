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
    explicit ProgressRecorder(std::function<void(const Entry&)> hook = {}) : iHook(std::move(hook)) {
        iConnection = QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::notified,
                                       [this](const QString& name, QObject*, const QVariantMap& info) {
                                           if (name != ImportProgressInfoMSG)
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

inline QSize imageSize(const QString& path) { return QImage(path).size(); }

// Where a link of the book sits, as fractions of the page.
inline QRectF placeOf(const pugi::xml_node& anno) {
    const pugi::xml_node l = anno.child("location");
    return QRectF(Xml::attr(l, "x").toDouble(), Xml::attr(l, "y").toDouble(), Xml::attr(l, "width").toDouble(),
                  Xml::attr(l, "height").toDouble());
}
