#pragma once
#include <QObject>

// What the preview page may call on us: nothing. The snapshot is taken by running the page's own
// function from here; the page is only handed an object under the name it expects.
class PreviewBridge : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
};
