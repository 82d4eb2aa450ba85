#include "app/sheets/DragFileImport.h"

#include <QDragEnterEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QUrl>

DragFileImport::DragFileImport(QWidget* parent) : QFrame(parent) {
    setAcceptDrops(true);
}

bool DragFileImport::acceptsDrop(const QStringList& paths) {
    return !paths.isEmpty() && QFileInfo(paths.first()).suffix() == QLatin1String("pdf");
}

QStringList DragFileImport::localPaths(const QMimeData* data) {
    QStringList paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile()) paths << url.toLocalFile();
    }
    return paths;
}

void DragFileImport::setHighlight(bool highlight) {
    iHighlight = highlight;
    update();
}

void DragFileImport::dragEnterEvent(QDragEnterEvent* event) {
    setHighlight(true);
    event->acceptProposedAction();
}

void DragFileImport::dragLeaveEvent(QDragLeaveEvent* event) {
    setHighlight(false);
    QFrame::dragLeaveEvent(event);
}

void DragFileImport::dropEvent(QDropEvent* event) {
    setHighlight(false);
    const QStringList paths = localPaths(event->mimeData());
    if (!acceptsDrop(paths)) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit fileDropped(droppedFile(paths));
}

void DragFileImport::paintEvent(QPaintEvent* event) {
    QFrame::paintEvent(event);
    if (!iHighlight) return;
    QPainter painter(this);
    painter.setPen(QPen(Qt::gray, 5));
    painter.drawRect(rect());
}
