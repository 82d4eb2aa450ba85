#pragma once
#include <QByteArray>
#include <QSize>

// Writes an uncompressed SWF movie of one frame that shows a JPEG bitmap filling the stage.
class SwfMovieWriter {
public:
    static constexpr int kTwipsPerPixel = 20;
    enum Tag { End = 0, ShowFrame = 1, DefineShape = 2, SetBackgroundColor = 9, DefineBitsJPEG2 = 21,
               PlaceObject2 = 26, FileAttributes = 69 };

    // Stage = stagePixels; the bitmap (character 1) fills shape 2, placed at depth 1 on frame 1.
    static QByteArray bitmapPageMovie(const QSize& stagePixels, const QByteArray& jpeg, int version = 8);

private:
    static QByteArray tag(int code, const QByteArray& body);
    static QByteArray rectangleShape(int shapeId, int bitmapId, const QSize& stagePixels);
    static QByteArray placeObject(int characterId, int depth);
};
