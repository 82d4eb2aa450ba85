// glib's headers name a member "signals", which Qt defines as a keyword: they come first.
#include <cairo.h>
#include <poppler.h>

#include "pages/PageRasterizer.h"
#include <QFile>
#include <QFileInfo>

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

QImage PageRasterizer::render(int pageNumber, const QSize& size) const {
    if (!iDocument || size.isEmpty() || size.width() > kMaxSide || size.height() > kMaxSide ||
        pageNumber < 1 || pageNumber > poppler_document_get_n_pages(iDocument))
        return {};
    PopplerPage* page = poppler_document_get_page(iDocument, pageNumber - 1);
    if (!page)
        return {};
    double width = 0, height = 0;   // points, rotation applied
    poppler_page_get_size(page, &width, &height);
    QImage image;
    if (width > 0 && height > 0) {
        image = QImage(size, QImage::Format_RGB32);   // the same memory layout as cairo's RGB24
        if (!image.isNull()) {
            image.fill(Qt::white);
            cairo_surface_t* surface = cairo_image_surface_create_for_data(
                image.bits(), CAIRO_FORMAT_RGB24, image.width(), image.height(), int(image.bytesPerLine()));
            cairo_t* cairo = cairo_create(surface);
            cairo_scale(cairo, size.width() / width, size.height() / height);
            poppler_page_render(page, cairo);
            const bool drawn = cairo_status(cairo) == CAIRO_STATUS_SUCCESS;
            cairo_destroy(cairo);
            cairo_surface_destroy(surface);
            if (!drawn)
                image = QImage();
        }
    }
    g_object_unref(page);
    return image;
}
