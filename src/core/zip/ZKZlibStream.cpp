#include "zip/ZKZlibStream.h"
#include "zip/ZKDefs.h"
#include <QString>
#include <zlib.h>

struct ZKZlibStream::State {
    z_stream stream{};
    bool ready = false;
    QByteArray output = QByteArray(ZKZipBlockSize, Qt::Uninitialized);
};

ZKZlibStream::ZKZlibStream(Mode mode) : iState(std::make_unique<State>()), iMode(mode) {
    z_stream& s = iState->stream;
    const int status = mode == Mode::Deflate
        ? deflateInit2(&s, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY)
        : inflateInit2(&s, -MAX_WBITS);
    iState->ready = status == Z_OK;
    if (!iState->ready)
        iErrorString = QStringLiteral("zlib initialisation failed (%1)").arg(status);
}

ZKZlibStream::~ZKZlibStream() {
    if (!iState->ready)
        return;
    if (iMode == Mode::Deflate)
        deflateEnd(&iState->stream);
    else
        inflateEnd(&iState->stream);
}

bool ZKZlibStream::write(const char* data, qint64 size, const Sink& sink, bool finish) {
    if (!iState->ready)
        return false;
    z_stream& s = iState->stream;
    // zlib counts input in 32 bits: feed large buffers in slices.
    constexpr qint64 kSlice = 1 << 30;
    do {
        const qint64 slice = qMin(size, kSlice);
        s.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        s.avail_in = uInt(slice);
        if (!pump(sink, finish && slice == size))
            return false;
        data += slice;
        size -= slice;
    } while (size > 0 && !iFinished);
    return true;
}

bool ZKZlibStream::pump(const Sink& sink, bool finish) {
    z_stream& s = iState->stream;
    QByteArray& output = iState->output;
    for (;;) {
        s.next_out = reinterpret_cast<Bytef*>(output.data());
        s.avail_out = uInt(output.size());
        const int status = iMode == Mode::Deflate ? deflate(&s, finish ? Z_FINISH : Z_NO_FLUSH)
                                                  : inflate(&s, Z_SYNC_FLUSH);
        const qint64 produced = output.size() - qint64(s.avail_out);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR) {
            iErrorString = QString::fromLatin1(s.msg ? s.msg : "zlib error");
            return false;
        }
        if (produced > 0 && !sink(QByteArray(output.constData(), produced)))
            return false;
        if (status == Z_STREAM_END) {
            iFinished = true;
            return true;
        }
        if (s.avail_out == 0)
            continue;  // more output may be waiting
        if (iMode == Mode::Deflate && finish) {
            if (status == Z_BUF_ERROR)
                return false;
            continue;
        }
        return s.avail_in == 0;
    }
}
