#pragma once
#include <QByteArray>
#include <QColor>
#include <QRect>
#include <QSize>

// Writes uncompressed SWF movies of one frame: a page bitmap filling the stage, or a plain picture
// of solid rectangles made from the parts below.
class SwfMovieWriter {
public:
    static constexpr int kTwipsPerPixel = 20;
    enum Tag { End = 0, ShowFrame = 1, DefineShape = 2, SetBackgroundColor = 9, DefineBitsJPEG2 = 21,
               PlaceObject2 = 26, FileAttributes = 69 };

    // Stage = stagePixels; the bitmap (character 1) fills shape 2, placed at depth 1 on frame 1.
    static QByteArray bitmapPageMovie(const QSize& stagePixels, const QByteArray& jpeg, int version = 8);

    // The header (stage, frame rate, one frame) before the tags, which must end with End.
    static QByteArray movie(const QSize& stagePixels, const QByteArray& tags, int version = 8, int framesPerSecond = 12);
    static QByteArray tag(int code, const QByteArray& body);
    static QByteArray backgroundColor(const QColor& colour);
    // A DefineShape body: the rectangle (in pixels) filled with one colour.
    static QByteArray solidRectangleShape(int shapeId, const QRect& pixels, const QColor& fill);
    static QByteArray placeObject(int characterId, int depth);

private:
    static QByteArray bitmapRectangleShape(int shapeId, int bitmapId, const QSize& stagePixels);
};
