#pragma once
#include <QPixmap>
#include <QString>

// The application's small artwork, drawn by code and looked up by name: the Apply item's
// "apply" and "apply1".."apply3", and the cell buttons "btn-…" and "info-…"
// ("<prefix><normal|selected>[-hovered|-mouse]").
class AppImages {
public:
    static QPixmap pixmap(const QString& name);

private:
    static QPixmap drawApply(int step);
    static QPixmap drawCellButton(const QString& name);
};
