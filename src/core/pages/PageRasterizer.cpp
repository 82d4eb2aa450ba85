// glib's headers name a member "signals", which Qt defines as a keyword: they come first.
#include <cairo.h>
#include <poppler.h>

#include "pages/PageRasterizer.h"
#include <QFile>
#include <QFileInfo>
#include <cstring>

PageRasterizer::PageRasterizer(const QString& pdfPath) {
    GError* error = nullptr;
    gchar* uri = g_filename_to_uri(QFile::encodeName(QFileInfo(pdfPath).absoluteFilePath()).constData(), nullptr, &error);
    if (uri)
        iDocument = poppler_document_new_from_file(uri, nullptr, &error);
    g_free(uri);
    if (error)
        g_error_free(error);
}

PageRasterizer::~PageRasterizer() {
    if (iDocument)
        g_object_unref(iDocument);
}

PopplerPage* PageRasterizer::page(int pageNumber) const {
    if (!iDocument || pageNumber < 1 || pageNumber > poppler_document_get_n_pages(iDocument))
        return nullptr;
    return poppler_document_get_page(iDocument, pageNumber - 1);
}

QImage PageRasterizer::render(int pageNumber, const QSize& size) const {
    PopplerPage* shown = page(pageNumber);
    if (!shown)
        return {};
    const QImage image = draw(shown, size);
    g_object_unref(shown);
    return image;
}

PageRasterizer::Drawing PageRasterizer::renderWithText(int pageNumber, const QSize& size) const {
    PopplerPage* shown = page(pageNumber);
    if (!shown)
        return {};
    Drawing drawing{draw(shown, size), {}};
    drawing.text = textOf(shown);
    g_object_unref(shown);
    return drawing;
}

QImage PageRasterizer::draw(PopplerPage* page, const QSize& size) {
    double width = 0, height = 0;   // points, rotation applied
    poppler_page_get_size(page, &width, &height);
    if (width <= 0 || height <= 0 || size.isEmpty() || size.width() > kMaxSide || size.height() > kMaxSide)
        return {};
    QImage image(size, QImage::Format_RGB32);   // the same memory layout as cairo's RGB24
    if (image.isNull())
        return image;
    std::memset(image.bits(), 0xff, size_t(image.sizeInBytes()));   // white: every byte set, twice as fast as fill()
    cairo_surface_t* surface = cairo_image_surface_create_for_data(image.bits(), CAIRO_FORMAT_RGB24, image.width(),
                                                                   image.height(), int(image.bytesPerLine()));
    cairo_t* cairo = cairo_create(surface);
    cairo_scale(cairo, size.width() / width, size.height() / height);
    poppler_page_render(page, cairo);
    const bool drawn = cairo_status(cairo) == CAIRO_STATUS_SUCCESS;
    cairo_destroy(cairo);
    cairo_surface_destroy(surface);
    return drawn ? image : QImage();
}

// The text the page's first drawing collected (or, when it was not drawn, read on its own) with
// a box a character, line breaks included.
PageText PageRasterizer::textOf(PopplerPage* page) {
    double width = 0, height = 0;
    poppler_page_get_size(page, &width, &height);
    gchar* text = poppler_page_get_text(page);
    PopplerRectangle* rectangles = nullptr;
    guint count = 0;
    QList<QRectF> boxes;
    if (text && poppler_page_get_text_layout(page, &rectangles, &count)) {
        boxes.reserve(count);
        for (guint i = 0; i < count; ++i)
            boxes.append(QRectF(QPointF(rectangles[i].x1, rectangles[i].y1), QPointF(rectangles[i].x2, rectangles[i].y2)));
    }
    const PageText words = PageText::fromCharacters(QString::fromUtf8(text ? text : ""), boxes, QSizeF(width, height));
    g_free(rectangles);
    g_free(text);
    return words;
}
