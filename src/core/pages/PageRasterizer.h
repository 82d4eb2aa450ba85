#pragma once
#include "pages/PageText.h"

#include <QImage>
#include <QSize>
#include <QString>

typedef struct _PopplerDocument PopplerDocument;
typedef struct _PopplerPage PopplerPage;

// Draws the pages of one PDF through poppler's cairo back end, which draws text and vector art
// two to three times faster than the Splash back end of poppler-qt6 and reads the document with
// the same parser, so pictures, links and words agree on every page's geometry. It holds a
// document of its own: use one per thread.
class PageRasterizer {
public:
    explicit PageRasterizer(const QString& pdfPath);
    ~PageRasterizer();
    PageRasterizer(const PageRasterizer&) = delete;
    PageRasterizer& operator=(const PageRasterizer&) = delete;

    bool isOpen() const { return iDocument != nullptr; }
    // The 1-based page as shown (rotation and crop box applied) drawn over white into exactly
    // size pixels (RGB32); null when it cannot be drawn or the picture would be too large.
    QImage render(int pageNumber, const QSize& size) const;

    struct Drawing {
        QImage image;
        PageText text;
    };
    // The page drawn as render() draws it, and its words, which the drawing collects on its way
    // through the page: a tenth of what reading them on their own costs.
    Drawing renderWithText(int pageNumber, const QSize& size) const;

    // No picture larger than this on a side: 256 MB of pixels at most per drawing.
    static constexpr int kMaxSide = 8192;

private:
    PopplerPage* page(int pageNumber) const;   // a new reference, or null
    static QImage draw(PopplerPage* page, const QSize& size);
    static PageText textOf(PopplerPage* page);

    PopplerDocument* iDocument = nullptr;
};
