#pragma once
// Test PDFs made at test time: makeQtPdf paints pages with QPdfWriter (text with embedded fonts
// and pictures, as real documents have them); handMadePdf writes small PDFs object by object for
// what QPdfWriter cannot do (/Rotate, crop boxes, annotations, outlines, encryption).
#include "pages/PdfObjectWriter.h"

#include "TestSupport.h"

#include <QColor>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QStringEncoder>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace PdfFixtures {

// QPdfWriter and text drawing need a QGuiApplication; tests get an offscreen one on first use.
inline void ensureGuiApp() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "leafmill-tests";
    static char* argv[] = {name, nullptr};
    static std::unique_ptr<QGuiApplication> app(new QGuiApplication(argc, argv));
}

using TestSupport::writeFile;

// Pages of the given sizes in points; each shows "Page N" and a gradient picture.
inline bool makeQtPdf(const QString& path, const QList<QSizeF>& pageSizesInPoints) {
    ensureGuiApp();
    QPdfWriter writer(path);
    writer.setResolution(72);
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setPageSize(QPageSize(pageSizesInPoints.first(), QPageSize::Point, QString(), QPageSize::ExactMatch));
    QPainter painter;
    if (!painter.begin(&writer))
        return false;
    for (int i = 0; i < pageSizesInPoints.size(); ++i) {
        const QSizeF size = pageSizesInPoints[i];
        if (i > 0) {
            writer.setPageSize(QPageSize(size, QPageSize::Point, QString(), QPageSize::ExactMatch));
            writer.newPage();
        }
        const QRectF page(QPointF(0, 0), size);
        QLinearGradient gradient(page.topLeft(), page.bottomRight());
        gradient.setColorAt(0, QColor::fromHsv((i * 47) % 360, 200, 230));
        gradient.setColorAt(1, Qt::darkBlue);
        painter.fillRect(page.adjusted(size.width() / 8, size.height() / 3, -size.width() / 8, -size.height() / 8), gradient);
        painter.drawText(page, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("Page %1").arg(i + 1));
    }
    return painter.end();
}

inline bool makeQtPdf(const QString& path, int pageCount, QSizeF size = QSizeF(595, 842)) {
    return makeQtPdf(path, QList<QSizeF>(pageCount, size));
}

// ---- hand-made PDFs -------------------------------------------------------------------------

inline QByteArray num(double v) {
    QByteArray s = QByteArray::number(v, 'f', 3);
    while (s.contains('.') && (s.endsWith('0') || s.endsWith('.')))
        s.chop(1);
    return s;
}
inline QByteArray rect(const QRectF& r) {
    return "[" + num(r.left()) + " " + num(r.top()) + " " + num(r.right()) + " " + num(r.bottom()) + "]";
}
inline QByteArray ref(int id) { return PdfObjectWriter::ref(id); }
// A PDF literal string with (, ) and \ escaped.
inline QByteArray literal(const QByteArray& text) {
    QByteArray out = "(";
    for (char c : text) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + ")";
}

// Content-stream snippets in PDF user space (origin bottom-left of the media box).
inline QByteArray fillRect(const QRectF& r, const QColor& c) {
    return num(c.redF()) + " " + num(c.greenF()) + " " + num(c.blueF()) + " rg " + num(r.x()) + " " +
           num(r.y()) + " " + num(r.width()) + " " + num(r.height()) + " re f\n";
}
inline QByteArray text(double x, double y, double size, const QByteArray& s) {
    return "0 0 0 rg BT /F1 " + num(size) + " Tf " + num(x) + " " + num(y) + " Td " + literal(s) + " Tj ET\n";
}

// Encrypted by an outside tool with the standard security handler (40-bit RC4), so poppler sees a
// real password-protected file; empty on failure.
inline QByteArray encrypted(const QByteArray& pdf, const QByteArray& userPassword, const QByteArray& ownerPassword) {
    QTemporaryDir dir;
    QStringList arguments = {"clean", "-E", "rc4-40", "-O", ownerPassword.isEmpty() ? userPassword : ownerPassword};
    if (!userPassword.isEmpty())
        arguments << "-U" << userPassword;
    if (!writeFile(dir.filePath("plain.pdf"), pdf) ||
        TestSupport::runTool("mutool", arguments << dir.filePath("plain.pdf") << dir.filePath("locked.pdf")).exitCode != 0)
        return {};
    return TestSupport::readFile(dir.filePath("locked.pdf"));
}

struct HandPage {
    QRectF mediaBox = QRectF(0, 0, 600, 800);
    QRectF cropBox;            // null: none
    int rotate = 0;            // /Rotate
    QByteArray content;        // content stream; font /F1 (Helvetica) is available
    QByteArray extraEntries;   // more page dictionary entries, e.g. "/Annots [...]"
    bool unloadable = false;   // the page tree names it by a reference that leads nowhere
};

struct HandPdfOptions {
    QByteArray userPassword;   // encrypt when user or owner password is set
    QByteArray ownerPassword;
    // Called after the page objects were reserved (ids in page order, parent = pagesId); may add
    // objects and fill page extras; returns more catalog entries (e.g. "/Outlines 9 0 R").
    std::function<QByteArray(PdfObjectWriter&, const QList<int>& pageIds, QList<HandPage>& pages)> extend;
};

inline QByteArray handMadePdf(QList<HandPage> pages, const HandPdfOptions& options = {}) {
    PdfObjectWriter w;
    const int catalogId = w.reserve();
    const int pagesId = w.reserve();
    const int fontId = w.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica >>");
    QList<int> pageIds;
    for (int i = 0; i < pages.size(); ++i)
        pageIds.append(w.reserve());
    const QByteArray catalogExtra = options.extend ? options.extend(w, pageIds, pages) : QByteArray();
    QByteArray kids;
    for (int i = 0; i < pages.size(); ++i) {
        const HandPage& p = pages[i];
        const int contentId = w.addStream({}, p.content);
        QByteArray dict = "<< /Type /Page /Parent " + ref(pagesId) + " /MediaBox " + rect(p.mediaBox);
        if (!p.cropBox.isNull())
            dict += " /CropBox " + rect(p.cropBox);
        if (p.rotate)
            dict += " /Rotate " + QByteArray::number(p.rotate);
        dict += " /Resources << /Font << /F1 " + ref(fontId) + " >> >> /Contents " + ref(contentId) + " " +
                p.extraEntries + " >>";
        w.set(pageIds[i], dict);
        kids += (p.unloadable ? QByteArray::number(pageIds[i]) + " 9 R" : ref(pageIds[i])) + " ";
    }
    w.set(pagesId, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.size()) + " >>");
    w.set(catalogId, "<< /Type /Catalog /Pages " + ref(pagesId) + " " + catalogExtra + " >>");
    if (options.userPassword.isEmpty() && options.ownerPassword.isEmpty())
        return w.finish(catalogId);
    return encrypted(w.finish(catalogId), options.userPassword, options.ownerPassword);
}

// A page whose media box is filled light grey with a red mark at the bottom-left corner and the text.
inline HandPage markedPage(QSizeF size, const QByteArray& label = "Leaf Mill", int rotate = 0) {
    HandPage p;
    p.mediaBox = QRectF(QPointF(0, 0), size);
    p.rotate = rotate;
    p.content = fillRect(p.mediaBox, QColor(230, 230, 230)) + fillRect(QRectF(0, 0, 40, 40), Qt::red) +
                text(50, size.height() / 2, 24, label);
    return p;
}

// unloadablePage (1-based): the document opens and counts that page, but it cannot be loaded or rendered.
inline QByteArray handMadePdf(const QList<QSizeF>& sizes, int unloadablePage = 0) {
    QList<HandPage> pages;
    for (int i = 0; i < sizes.size(); ++i)
        pages.append(markedPage(sizes[i], "Page " + QByteArray::number(i + 1)));
    if (unloadablePage > 0)
        pages[unloadablePage - 1].unloadable = true;
    return handMadePdf(pages);
}

// The first part of a file, as an interrupted download leaves it.
inline QByteArray truncated(const QByteArray& pdf, double keptFraction = 0.5) {
    return pdf.left(static_cast<qsizetype>(pdf.size() * keptFraction));
}

// ---- annotations and outlines ----------------------------------------------------------------

inline QByteArray destination(int pageId) { return "[" + ref(pageId) + " /XYZ null null null]"; }

// An annotation body; r in default user space (media box coordinates), rest = more entries.
inline QByteArray annot(const QByteArray& subtype, const QRectF& r, const QByteArray& rest) {
    return "<< /Type /Annot /Subtype /" + subtype + " /Rect " + rect(r) + " /Border [0 0 0] " + rest + " >>";
}
inline QByteArray linkToPage(const QRectF& r, int targetPageId) { return annot("Link", r, "/Dest " + destination(targetPageId)); }
inline QByteArray uriAction(const QByteArray& uri) { return "/A << /S /URI /URI " + literal(uri) + " >>"; }
inline QByteArray linkToUri(const QRectF& r, const QByteArray& uri) { return annot("Link", r, uriAction(uri)); }

// Adds the annotation bodies as objects and returns the page dictionary entry listing them.
inline QByteArray annots(PdfObjectWriter& w, const QList<QByteArray>& bodies) {
    QByteArray refs;
    for (const QByteArray& body : bodies)
        refs += ref(w.add(body)) + " ";
    return "/Annots [" + refs + "]";
}

// One bookmark; page is a 0-based index into the page ids, or -1 for a bookmark without destination.
struct Bookmark {
    QString title;
    int page = -1;
    QList<Bookmark> children;
};

// Writes one level of bookmarks under parentId; answers "/First a /Last b /Count n" (empty if none).
inline QByteArray writeBookmarks(PdfObjectWriter& w, const QList<int>& pageIds, const QList<Bookmark>& items, int parentId) {
    QList<int> ids;
    for (int i = 0; i < items.size(); ++i)
        ids.append(w.reserve());
    for (int i = 0; i < items.size(); ++i) {
        const QByteArray title = QStringEncoder(QStringEncoder::Utf16BE, QStringEncoder::Flag::WriteBom)(items[i].title);
        QByteArray dict = "<< /Title <" + title.toHex() + "> /Parent " + ref(parentId);   // UTF-16 keeps any text
        if (i > 0)
            dict += " /Prev " + ref(ids[i - 1]);
        if (i + 1 < items.size())
            dict += " /Next " + ref(ids[i + 1]);
        if (items[i].page >= 0)
            dict += " /Dest " + destination(pageIds.value(items[i].page, 9999));
        w.set(ids[i], dict + " " + writeBookmarks(w, pageIds, items[i].children, ids[i]) + " >>");
    }
    if (ids.isEmpty())
        return {};
    return "/First " + ref(ids.first()) + " /Last " + ref(ids.last()) + " /Count " + QByteArray::number(ids.size());
}

// Writes the outline tree and returns the catalog entry for it ("/Outlines N 0 R").
inline QByteArray outlines(PdfObjectWriter& w, const QList<int>& pageIds, const QList<Bookmark>& top) {
    const int rootId = w.reserve();
    w.set(rootId, "<< /Type /Outlines " + writeBookmarks(w, pageIds, top, rootId) + " >>");
    return "/Outlines " + ref(rootId);
}

}
