#pragma once
#include <QImage>
#include <QSizeF>
#include <QString>

// The stand-in for a page that could not be rendered: a white page of the page's shape with a
// notice in its middle, so that the book keeps its page count and the reader sees what happened.
namespace BlankPageImage {
// Longer side boxSize pixels; a page of unknown shape is drawn as A4 portrait.
QImage make(const QSizeF& pagePoints, int boxSize, const QString& notice);
}
