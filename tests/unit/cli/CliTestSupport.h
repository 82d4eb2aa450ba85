#pragma once
// Runs leafmill-cli command lines in-process and makes input files for them.
#include "PdfFixtures.h"
#include "FolderSnapshot.h"
#include "TestSupport.h"

#include "cli/LeafMillCli.h"
#include "cli/SamplePdfWriter.h"
#include "output/BookDescriptionFile.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace CliTest {

inline const QString kHome = TestSupport::isolateUserFolders();

struct Result {
    int code;
    QString out;
    QString err;
};

inline Result run(const QStringList& arguments) {
    PdfFixtures::ensureGuiApp();
    QString out, err;
    QTextStream outStream(&out), errStream(&err);
    const int code = LeafMillCli::run(arguments, outStream, errStream, false);
    outStream.flush();
    errStream.flush();
    return {code, out, err};
}

using FolderSnapshot::snapshot;

inline QByteArray bookXML(const QString& folder) {
    BookDescriptionFile description;
    return description.decode(TestSupport::readFile(folder + "/files/book.bin")) ? description.xml() : QByteArray();
}

class Cli : public ::testing::Test {
protected:
    void SetUp() override {
        PdfFixtures::ensureGuiApp();
        ASSERT_TRUE(iDir.isValid());
        iSample = path("sample.pdf");
        ASSERT_TRUE(SamplePdfWriter::write(iSample));
    }
    QString path(const QString& relative) const { return iDir.filePath(relative); }

    QTemporaryDir iDir;
    QString iSample;
};

}
