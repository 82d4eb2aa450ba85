#pragma once
#include <QByteArray>
#include <QString>

// The page bitmap inside a SWF page movie, as our converter stores it (a JPEG bitmap shape).
// Browsers cannot show a movie, but they can show its JPEG: publishing writes it beside the movie.
class SwfPageImage {
public:
    // The JPEG of the movie's first JPEG bitmap; empty when the bytes are no movie or hold none.
    static QByteArray jpegFromMovie(const QByteArray& movie);
    enum Result { Written, NoImage, NotWritten };
    // Writes the movie's JPEG to target, with the movie's modification time, unless target is
    // already that (same time). NoImage: the file is no movie we can read or holds no JPEG.
    static Result writeJpegOf(const QString& moviePath, const QString& targetPath);
};
