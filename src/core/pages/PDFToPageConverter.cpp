#include "pages/PDFToPageConverter.h"
#include "util/BriskUtility.h"
#include <QDir>
#include <QFileInfo>
#include <poppler-qt6.h>

PDFToPageConverter::PDFToPageConverter(const QString& PDFPath, std::shared_ptr<Poppler::Document> PDFDoc,
                                       int quality, int DPI)
    : iQuality(quality), iPDFPath(PDFPath),
      iConverterWorkFolder(BriskUtility::forceTmpDiractory(QStringLiteral("Leaf Mill"))), iDPI(DPI),
      iPDFDoc(std::move(PDFDoc)) {}

PDFToPageConverter::~PDFToPageConverter() {
    // Only a scratch folder of our own ("temp.XXXXXX") is removed, never a shared parent.
    const QFileInfo folder(iConverterWorkFolder);
    if (!iConverterWorkFolder.isEmpty() && folder.isAbsolute() && folder.fileName().startsWith(QStringLiteral("temp.")))
        QDir(iConverterWorkFolder).removeRecursively();
}

QString PDFToPageConverter::generatePage(int) {
    return {};
}
