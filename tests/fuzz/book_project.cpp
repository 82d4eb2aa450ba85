// A published folder made from arbitrary bytes is reopened. The first byte chooses what the rest
// is: the raw files/book.bin, or the book.xml that a well-formed book.bin carries.
#include "FuzzSupport.h"
#include "output/BookDescriptionFile.h"
#include "output/BookProject.h"
#include "pages/FlashPageSource.h"

FUZZ_INIT

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const QByteArray rest = FuzzSupport::bytes(data + 1, size - 1);
    const QByteArray bookBin = data[0] % 2 ? rest : BookDescriptionFile::encode(rest);
    const QString folder = FuzzSupport::freshFolder(QStringLiteral("book"));
    TestSupport::writeFile(folder + QStringLiteral("/files/book.bin"), bookBin);
    BookProject project;
    if (project.loadProjectFromOutputFolder(folder)) {
        for (const auto& page : project.book().pageSource->normalPages())
            FUZZ_CHECK(page->pageFilePath().startsWith(folder + QLatin1Char('/')));
    } else {
        FUZZ_CHECK(!project.errorString().isEmpty());
    }
    return 0;
}
