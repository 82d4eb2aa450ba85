#pragma once
#include <QByteArray>
#include <QString>
#include <functional>
#include <memory>

// A raw (window bits -15) deflate or inflate stream fed piece by piece. Output is handed to a
// sink in pieces of at most ZKZipBlockSize bytes; a sink answering false stops the stream.
class ZKZlibStream {
public:
    enum class Mode { Deflate, Inflate };
    using Sink = std::function<bool(const QByteArray& output)>;

    explicit ZKZlibStream(Mode mode);  // deflate: level 9, memory level 8, default strategy
    ~ZKZlibStream();
    ZKZlibStream(const ZKZlibStream&) = delete;
    ZKZlibStream& operator=(const ZKZlibStream&) = delete;

    // Feeds bytes; finish ends a deflate stream. False on a zlib error or a refusing sink.
    bool write(const char* data, qint64 size, const Sink& sink, bool finish = false);
    bool write(const QByteArray& data, const Sink& sink, bool finish = false) {
        return write(data.constData(), data.size(), sink, finish);
    }
    // An inflate stream has met its end marker (input after it is ignored).
    bool finished() const { return iFinished; }
    // zlib's message for the last error, if any.
    QString errorString() const { return iErrorString; }

private:
    bool pump(const Sink& sink, bool finish);

    struct State;
    std::unique_ptr<State> iState;
    Mode iMode;
    bool iFinished = false;
    QString iErrorString;
};
