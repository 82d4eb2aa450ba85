#pragma once
#include <QList>
#include <QMutex>
#include <QSizeF>
#include <QString>
#include <memory>

class FlashPage;
using FlashPagePtr = std::shared_ptr<FlashPage>;
using FlashPageList = QList<FlashPagePtr>;

// One page file of a book: where it lies and which page of the book it is.
class FlashPage {
public:
    FlashPage() = default;
    FlashPage(const QString& pageFilePath, int pageIndex);
    virtual ~FlashPage() = default;

    QString pageFilePath() const;
    void setPageFilePath(const QString& path);
    int pageIndex() const { return iPageIndex; }
    void setPageIndex(int index) { iPageIndex = index; }
    // The 1-based PDF page this page came from; 0 when unknown (image pages, older books).
    int pdfPage() const { return iPdfPage; }
    void setPdfPage(int number) { iPdfPage = number; }
    // The page as shown (rotation and crop box applied): PDF points, or pixels for image pages.
    // Empty when unknown.
    QSizeF shownSize() const { return iShownSize; }
    void setShownSize(const QSizeF& size) { iShownSize = size; }
    // The page's text script (PageText) when it has a text layer; empty otherwise.
    QString textFilePath() const { return iTextFilePath; }
    void setTextFilePath(const QString& path) { iTextFilePath = path; }
    // Takes the PDF page, shown size and text of another record of the same page.
    void takePageFacts(const FlashPage& other);

    // True for raster pages (FlashPageImage), the only ones that can be scaled.
    virtual bool isImagePage() const { return false; }

    // A new record with the same path and index; both numbers are ignored, no file is touched.
    virtual FlashPagePtr copyPage(int boxSize, int quality) const;
    // A scaled JPEG copy; a plain page cannot be scaled and gives nothing.
    virtual FlashPagePtr copyAsImgPage(int boxSize, int quality) const;

    // The process-wide folder of scaled page images, made on first use.
    static QString flashPageTempFolder();

private:
    mutable QMutex iLock;
    QString iPageFilePath;
    int iPageIndex = 0;
    int iPdfPage = 0;
    QSizeF iShownSize;
    QString iTextFilePath;
};
