#pragma once
// Shared set-up of the fuzz targets: quiet logging, private user folders, a scratch folder.
#include "TestSupport.h"
#include "util/Log.h"

#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace FuzzSupport {

inline QByteArray bytes(const uint8_t* data, size_t size) {
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

// One scratch folder for the whole run (made on first use, removed at exit).
inline const QString& scratch() {
    static const QString home = TestSupport::isolateUserFolders();
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/leafmill-fuzz-XXXXXX"));
    static const QString path = folder.path();
    return path;
}

// A fresh empty folder inside the scratch folder, emptied on every call.
inline QString freshFolder(const QString& name) {
    const QString path = scratch() + QLatin1Char('/') + name;
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    return path;
}

inline void quiet() {
    spdlog::set_level(spdlog::level::off);
    scratch();
}

}

// A broken invariant stops the run the way a sanitizer would, so the fuzzer keeps the input.
#define FUZZ_CHECK(condition) \
    ((condition) ? void() : (fprintf(stderr, "fuzz invariant violated: %s\n", #condition), abort()))

#define FUZZ_INIT \
    extern "C" int LLVMFuzzerInitialize(int*, char***) { FuzzSupport::quiet(); return 0; }
