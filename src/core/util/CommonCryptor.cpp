#include "util/CommonCryptor.h"

#include <QCoreApplication>
#include <array>
#include <utility>

namespace CommonCryptor {

CryptorError errorWithCCCryptorStatus(int status) {
    struct Text { int status; const char* description; const char* reason; };
    static const Text texts[] = {
        {kSuccess, "Success", ""},
        {kParamError, "Parameter Error", "Illegal parameter supplied to encryption/decryption algorithm"},
        {kBufferTooSmall, "Buffer Too Small", "Insufficient buffer provided for specified operation"},
        {kMemoryFailure, "Memory Failure", "Failed to allocate memory"},
        {kAlignmentError, "Alignment Error", "Input size to encryption algorithm was not aligned correctly"},
        {kDecodeError, "Decode Error", "Input data did not decode or decrypt correctly"},
        {kUnimplemented, "Unimplemented Function", "Function not implemented for the current algorithm"},
    };
    CryptorError e;
    e.code = status;
    e.description = QStringLiteral("Unknown Error");
    for (const Text& t : texts) {
        if (t.status == status) {
            e.description = QString::fromLatin1(t.description);
            e.failureReason = QString::fromLatin1(t.reason);
        }
    }
    return e;
}

QByteArray fixKeyLength(int algorithm, QByteArray key) {
    const qsizetype n = key.size();
    qsizetype wanted = n;
    switch (algorithm) {
    case kAES128: wanted = n < 16 ? 16 : (n < 24 ? 24 : 32); break;
    case kDES: wanted = 8; break;
    case k3DES: wanted = 24; break;
    case kCAST: wanted = n < 5 ? 5 : (n > 16 ? 16 : n); break;
    case kRC4: wanted = n > 512 ? 512 : n; break;
    default: break;
    }
    key.resize(wanted, '\0');
    return key;
}

static QByteArray rc4(const QByteArray& data, const QByteArray& key) {
    std::array<unsigned char, 256> s;
    for (int i = 0; i < 256; ++i) s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 0xff;
        std::swap(s[i], s[j]);
    }
    QByteArray out(data.size(), Qt::Uninitialized);
    for (qsizetype k = 0, i = 0, j = 0; k < data.size(); ++k) {
        i = (i + 1) & 0xff;
        j = (j + s[i]) & 0xff;
        std::swap(s[i], s[j]);
        out[k] = static_cast<char>(data[k] ^ s[(s[i] + s[j]) & 0xff]);
    }
    return out;
}

static QByteArray crypt(const QByteArray& data, int algorithm, const QByteArray& rawKey, int* status) {
    auto fail = [status](int code) {
        if (status) *status = code;
        return QByteArray();
    };
    if (algorithm != kRC4) return fail(kUnimplemented);
    const QByteArray key = fixKeyLength(algorithm, rawKey);
    if (key.isEmpty()) return fail(kParamError);
    if (status) *status = kSuccess;
    QByteArray out = rc4(data, key);
    if (out.isNull()) out = QByteArray("", 0); // an empty result is still a success
    return out;
}

QByteArray dataEncryptedUsingAlgorithm(const QByteArray& data, int algorithm, const QByteArray& key,
                                       const QByteArray&, int, int* status) {
    return crypt(data, algorithm, key, status);
}

QByteArray decryptedDataUsingAlgorithm(const QByteArray& data, int algorithm, const QByteArray& key,
                                       const QByteArray&, int, int* status) {
    return crypt(data, algorithm, key, status);
}

static QByteArray rc4WithError(const QByteArray& data, const QByteArray& key, CryptorError* error) {
    int status = kSuccess;
    QByteArray out = crypt(data, kRC4, key, &status);
    if (status != kSuccess) {
        if (error) *error = errorWithCCCryptorStatus(status);
        return {};
    }
    return out;
}

QByteArray RC4EncryptedDataUsingKey(const QByteArray& data, const QByteArray& key, CryptorError* error) {
    return rc4WithError(data, key, error);
}

QByteArray decryptedRC4DataUsingKey(const QByteArray& data, const QByteArray& key, CryptorError* error) {
    return rc4WithError(data, key, error);
}

} // namespace CommonCryptor
