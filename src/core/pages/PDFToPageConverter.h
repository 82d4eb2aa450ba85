#pragma once
#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

// Turns pages of one PDF into page files inside its own scratch folder. The folder, and every
// file in it, goes when the converter goes.
class PDFToPageConverter {
public:
    PDFToPageConverter(const QString& PDFPath, std::shared_ptr<Poppler::Document> PDFDoc, int quality, int DPI);
    virtual ~PDFToPageConverter();
    PDFToPageConverter(const PDFToPageConverter&) = delete;
    PDFToPageConverter& operator=(const PDFToPageConverter&) = delete;

    int quality() const { return iQuality; }
    void setQuality(int quality) { iQuality = quality; }
    const QString& PDFPath() const { return iPDFPath; }
    const QString& converterWorkFolder() const { return iConverterWorkFolder; }
    int DPI() const { return iDPI; }
    void setDPI(int DPI) { iDPI = DPI; }
    // The opened document, or null when the file could not be opened. Use it on one thread only.
    Poppler::Document* PDFDoc() const { return iPDFDoc.get(); }

    // Path of the file made for the 1-based PDF page number (empty on the base class).
    virtual QString generatePage(int pageNumber);
    virtual QString generateAllPage() { return {}; }
    virtual QString generatePages(const QString&) { return {}; }

protected:
    int iQuality;
    QString iPDFPath;
    QString iConverterWorkFolder;
    int iDPI;
    std::shared_ptr<Poppler::Document> iPDFDoc;
};
