#pragma once
#include <QSizeF>
#include <QString>
#include <memory>

namespace Poppler {
class Document;
}

// A PDF file opened for import, or why it cannot be imported: what the user learns before any
// long work starts.
class PDFOpenResult {
public:
    enum Status { Ok, Missing, Unreadable, Damaged, Locked, NoPages };

    static PDFOpenResult open(const QString& path);

    Status status() const { return iStatus; }
    bool ok() const { return iStatus == Ok; }
    // Why the file cannot be imported, in words for the user; empty when it can.
    QString errorString() const;
    // The system's reason when the file is there but cannot be read.
    const QString& readError() const { return iReadError; }
    int pageCount() const { return iPageCount; }
    // The first page as it is shown (crop box, rotation applied), in points; empty unless ok.
    QSizeF firstPageSize() const { return iFirstPageSize; }
    // The document when it could be read (also when it has no pages), else null.
    const std::shared_ptr<Poppler::Document>& document() const { return iDocument; }

private:
    QString iPath;
    QString iReadError;
    Status iStatus = Missing;
    int iPageCount = 0;
    QSizeF iFirstPageSize;
    std::shared_ptr<Poppler::Document> iDocument;
};
