#include "pdf2swf/PageToSwf.h"
#include "pdf2swf/SwfMovieWriter.h"
#include "pages/ImageUtility.h"
#include <QBuffer>
#include <algorithm>
#include <cmath>
#include <poppler-qt6.h>

namespace {
constexpr double kMaxBitmapSide = 8191;
}

QImage PageToSwf::renderPage(const QString& pdfPath, int pageNumber, int zoom, Result* result) {
    const std::unique_ptr<Poppler::Document> doc = Poppler::Document::load(pdfPath);
    if (!doc || doc->isLocked()) {
        *result = CannotOpen;
        return {};
    }
    if (pageNumber < 1 || pageNumber > doc->numPages()) {
        *result = NoSuchPage;
        return {};
    }
    const std::unique_ptr<Poppler::Page> page = doc->page(pageNumber - 1);
    const QSizeF points = page ? page->pageSizeF() : QSizeF();
    // Huge pages at a high zoom are scaled down to the largest bitmap a SWF player shows.
    const double scale = std::min(zoom / 72.0, kMaxBitmapSide / std::max({points.width(), points.height(), 1.0}));
    const QSize pixels(std::max(1L, std::lround(points.width() * scale)), std::max(1L, std::lround(points.height() * scale)));
    doc->setRenderHint(Poppler::Document::Antialiasing);
    doc->setRenderHint(Poppler::Document::TextAntialiasing);
    QImage image = page && !points.isEmpty()
        ? page->renderToImage(pixels.width() * 72.0 / points.width(), pixels.height() * 72.0 / points.height(), 0, 0,
                              pixels.width(), pixels.height())
        : QImage();
    *result = image.isNull() ? CannotRender : Written;
    return image.isNull() ? image : image.convertToFormat(QImage::Format_RGB32);
}

bool PageToSwf::convert(const QString& pdfPath, int pageNumber, int zoom, int jpegQuality, int flashVersion,
                        const QString& outputPath) {
    iResult = Written;
    iErrorString.clear();
    Result rendered = Written;
    const QImage image = renderPage(pdfPath, pageNumber, zoom, &rendered);
    if (rendered != Written)
        return fail(rendered, rendered == CannotOpen ? QStringLiteral("cannot open %1").arg(pdfPath)
                              : rendered == NoSuchPage ? QStringLiteral("%1 has no page %2").arg(pdfPath).arg(pageNumber)
                                                       : QStringLiteral("page %1 cannot be rendered").arg(pageNumber));
    QByteArray jpeg;
    QBuffer buffer(&jpeg);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "JPEG", jpegQuality))
        return fail(CannotRender, QStringLiteral("cannot encode the page as JPEG"));
    const QByteArray movie = SwfMovieWriter::bitmapPageMovie(image.size(), jpeg, flashVersion);
    if (!ImageUtility::writeFileAtomically(outputPath, movie))
        return fail(CannotWrite, QStringLiteral("cannot write %1").arg(outputPath));
    return true;
}

bool PageToSwf::fail(Result result, const QString& reason) {
    iResult = result;
    iErrorString = reason;
    return false;
}
