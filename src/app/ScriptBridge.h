#pragma once
#include <QMetaObject>

// An object offered to page scripts on a QWebChannel. The channel publishes every member of the
// object's meta-object, those inherited from QObject as well (deleteLater, objectName,
// destroyed ...). A bridge shows the channel a copy of Offer's meta-object cut off from its base
// classes, so a page reaches exactly the Q_INVOKABLE methods Offer declares itself. The channel
// calls them through the class's own dispatch by their own index, which the copy keeps.
// Offer declares methods only: no properties and no signals, which Qt reaches by inherited index.
template <class Offer>
class ScriptBridge final : public Offer {
public:
    using Offer::Offer;

    const QMetaObject* metaObject() const override {
        static const QMetaObject ownMembers = [] {
            QMetaObject meta = Offer::staticMetaObject;
            meta.d.superdata = nullptr;
            return meta;
        }();
        return &ownMembers;
    }
};
