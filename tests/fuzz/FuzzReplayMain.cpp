// Without libFuzzer (gcc builds) a fuzz target replays the files it is given and the files in the
// folders it is given, so the seed corpora and every input that once broke a target run with the
// unit tests. Options such as -runs=0 are libFuzzer's and are skipped.
#include "TestSupport.h"
#include <QDirIterator>
#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);
extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) __attribute__((weak));

int main(int argc, char** argv) {
    if (LLVMFuzzerInitialize)
        LLVMFuzzerInitialize(&argc, &argv);
    QStringList inputs;
    for (int i = 1; i < argc; ++i) {
        const QString arg = QFile::decodeName(argv[i]);
        for (QDirIterator it(arg, QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
            inputs << it.next();
        if (QFileInfo(arg).isFile())
            inputs << arg;
    }
    for (const QString& input : inputs) {
        const QByteArray bytes = TestSupport::readFile(input);
        LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size()));
    }
    printf("replayed %d inputs\n", int(inputs.size()));
    return inputs.isEmpty() ? 1 : 0;
}
