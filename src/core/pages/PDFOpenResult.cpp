#include "pages/PDFOpenResult.h"

#include <QFile>
#include <QFileInfo>
#include <poppler-qt6.h>

PDFOpenResult PDFOpenResult::open(const QString& path) {
    PDFOpenResult result;
    result.iPath = path;
    if (!QFileInfo(path).isFile())
        return result;
    if (QFile file(path); !file.open(QIODevice::ReadOnly)) {
        result.iStatus = Unreadable;
        result.iReadError = file.errorString();
        return result;
    }
    std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(path);
    result.iStatus = Damaged;
    if (!doc)
        return result;
    result.iStatus = Locked;
    if (doc->isLocked())
        return result;
    result.iDocument = std::move(doc);
    result.iPageCount = result.iDocument->numPages();
    result.iStatus = NoPages;
    if (result.iPageCount < 1)
        return result;
    if (const std::unique_ptr<Poppler::Page> first = result.iDocument->page(0))
        result.iFirstPageSize = first->pageSizeF();
    result.iStatus = Ok;
    return result;
}

QString PDFOpenResult::errorString() const {
    const QString name = QFileInfo(iPath).fileName();
    switch (iStatus) {
    case Ok: return {};
    case Missing: return QStringLiteral("The file \u201c%1\u201d does not exist.").arg(iPath);
    case Unreadable: return QStringLiteral("\u201c%1\u201d cannot be read: %2.").arg(name, iReadError);
    case Damaged:
        return QStringLiteral("\u201c%1\u201d could not be opened as a PDF document; it may be damaged or not a PDF.").arg(name);
    case Locked: return QStringLiteral("\u201c%1\u201d is protected by a password and cannot be imported.").arg(name);
    case NoPages: return QStringLiteral("\u201c%1\u201d has no pages.").arg(name);
    }
    return {};
}
