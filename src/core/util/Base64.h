#pragma once
#include <QByteArray>
#include <QString>
#include <cstddef>

// Lenient Base64 decoding: characters outside the alphabet are skipped, never an error.
namespace Base64 {
QByteArray NewBase64Decode(const char* input, size_t length);
QByteArray dataFromBase64String(const QString& text); // non-ASCII text gives an empty result
}
