#pragma once
#include <QByteArray>
#include <QString>

// Symmetric cipher wrapper. Only RC4 is used by the book flows; it is its own inverse.
namespace CommonCryptor {

enum Algorithm { kAES128 = 0, kDES = 1, k3DES = 2, kCAST = 3, kRC4 = 4 };
enum Status {
    kSuccess = 0, kParamError = -4300, kBufferTooSmall = -4301, kMemoryFailure = -4302,
    kAlignmentError = -4303, kDecodeError = -4304, kUnimplemented = -4305
};

struct CryptorError {
    QString domain = QStringLiteral("CommonCryptoErrorDomain");
    int code = 0;
    QString description;
    QString failureReason;
};
CryptorError errorWithCCCryptorStatus(int status);

// Key length fixed per algorithm (zero padded or truncated).
QByteArray fixKeyLength(int algorithm, QByteArray key);

// Generic forms; a null result means failure and *status says why. Only RC4 is implemented.
QByteArray dataEncryptedUsingAlgorithm(const QByteArray& data, int algorithm, const QByteArray& key,
                                       const QByteArray& iv = {}, int options = 0, int* status = nullptr);
QByteArray decryptedDataUsingAlgorithm(const QByteArray& data, int algorithm, const QByteArray& key,
                                       const QByteArray& iv = {}, int options = 0, int* status = nullptr);

QByteArray RC4EncryptedDataUsingKey(const QByteArray& data, const QByteArray& key, CryptorError* error = nullptr);
QByteArray decryptedRC4DataUsingKey(const QByteArray& data, const QByteArray& key, CryptorError* error = nullptr);
inline QByteArray RC4EncryptedDataUsingKey(const QByteArray& data, const QString& key, CryptorError* error = nullptr) {
    return RC4EncryptedDataUsingKey(data, key.toUtf8(), error);
}
}
