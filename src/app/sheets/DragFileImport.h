#pragma once
#include <QFrame>
#include <QStringList>

class QMimeData;

// The import sheet's drop target: tells of a PDF dragged from the file browser.
class DragFileImport : public QFrame {
    Q_OBJECT
public:
    explicit DragFileImport(QWidget* parent = nullptr);

    bool highlight() const { return iHighlight; }
    // A drop is taken when its first file has the extension "pdf", in lower case.
    static bool acceptsDrop(const QStringList& paths);
    // The file the drop puts into the field: the last one dragged.
    static QString droppedFile(const QStringList& paths) { return paths.isEmpty() ? QString() : paths.last(); }

signals:
    void fileDropped(const QString& path);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setHighlight(bool highlight);
    static QStringList localPaths(const QMimeData* data);

    bool iHighlight = false;
};
