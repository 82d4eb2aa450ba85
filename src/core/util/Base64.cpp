#include "util/Base64.h"

#include <cstring>

namespace Base64 {

static int alphabetValue(unsigned char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

QByteArray NewBase64Decode(const char* input, size_t length) {
    if (length == static_cast<size_t>(-1)) length = input ? std::strlen(input) : 0;
    QByteArray out;
    out.reserve(static_cast<qsizetype>((length + 3) / 4 * 3));
    unsigned int group = 0;
    int count = 0;
    for (size_t i = 0; i < length; ++i) {
        const int v = alphabetValue(static_cast<unsigned char>(input[i]));
        if (v < 0) continue;
        group = (group << 6) | static_cast<unsigned int>(v);
        if (++count == 4) {
            out.append(static_cast<char>(group >> 16)).append(static_cast<char>(group >> 8)).append(static_cast<char>(group));
            group = 0;
            count = 0;
        }
    }
    if (count == 3) {
        group <<= 6;
        out.append(static_cast<char>(group >> 16)).append(static_cast<char>(group >> 8));
    } else if (count == 2) {
        group <<= 12;
        out.append(static_cast<char>(group >> 16));
    }
    return out;
}

QByteArray dataFromBase64String(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > 0x7f) return {};
    const QByteArray ascii = text.toLatin1();
    return NewBase64Decode(ascii.constData(), static_cast<size_t>(ascii.size()));
}

} // namespace Base64
