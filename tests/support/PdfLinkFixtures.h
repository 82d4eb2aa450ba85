#pragma once
// Link annotations, other annotations and outlines for hand-made test PDFs (see PdfFixtures.h).
#include "PdfFixtures.h"

namespace PdfFixtures {

// A PDF text string that keeps any Unicode text (UTF-16BE with byte-order mark, as hex).
inline QByteArray textString(const QString& text) {
    QByteArray utf16 = "\xFE\xFF";
    for (QChar c : text) {
        utf16 += static_cast<char>(c.unicode() >> 8);
        utf16 += static_cast<char>(c.unicode() & 0xFF);
    }
    return "<" + utf16.toHex() + ">";
}

inline QByteArray destination(int pageId) { return "[" + ref(pageId) + " /XYZ null null null]"; }

// Link annotation bodies; rect in default user space (media box coordinates).
inline QByteArray linkToPage(const QRectF& r, int targetPageId) {
    return "<< /Type /Annot /Subtype /Link /Rect " + rect(r) + " /Border [0 0 0] /Dest " + destination(targetPageId) + " >>";
}
inline QByteArray linkToUri(const QRectF& r, const QByteArray& uri) {
    return "<< /Type /Annot /Subtype /Link /Rect " + rect(r) + " /Border [0 0 0] /A << /S /URI /URI " + literal(uri) + " >> >>";
}
// A link carrying both an address action and a page destination.
inline QByteArray linkToUriAndPage(const QRectF& r, const QByteArray& uri, int targetPageId) {
    return "<< /Type /Annot /Subtype /Link /Rect " + rect(r) + " /Border [0 0 0] /A << /S /URI /URI " + literal(uri) +
           " >> /Dest " + destination(targetPageId) + " >>";
}
inline QByteArray linkToOtherFile(const QRectF& r, const QByteArray& file) {
    return "<< /Type /Annot /Subtype /Link /Rect " + rect(r) + " /Border [0 0 0] /A << /S /GoToR /F " + literal(file) +
           " /D [0 /Fit] >> >>";
}
inline QByteArray textNote(const QRectF& r) {
    return "<< /Type /Annot /Subtype /Text /Rect " + rect(r) + " /Contents (A note) >>";
}
inline QByteArray highlight(const QRectF& r) {
    return "<< /Type /Annot /Subtype /Highlight /Rect " + rect(r) + " /QuadPoints [" + num(r.left()) + " " +
           num(r.bottom()) + " " + num(r.right()) + " " + num(r.bottom()) + " " + num(r.left()) + " " + num(r.top()) +
           " " + num(r.right()) + " " + num(r.top()) + "] /C [1 1 0] >>";
}

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

namespace detail {
struct OutlineLevel {
    int first = 0;
    int last = 0;
    int count = 0;
};

inline OutlineLevel writeBookmarks(PdfObjectWriter& w, const QList<int>& pageIds, const QList<Bookmark>& items,
                                   int parentId) {
    QList<int> ids;
    for (int i = 0; i < items.size(); ++i)
        ids.append(w.reserve());
    OutlineLevel level{ids.value(0), ids.value(ids.size() - 1), int(items.size())};
    for (int i = 0; i < items.size(); ++i) {
        const Bookmark& b = items[i];
        QByteArray dict = "<< /Title " + textString(b.title) + " /Parent " + ref(parentId);
        if (i > 0)
            dict += " /Prev " + ref(ids[i - 1]);
        if (i + 1 < items.size())
            dict += " /Next " + ref(ids[i + 1]);
        if (b.page >= 0)
            dict += " /Dest " + destination(pageIds.value(b.page, 9999));
        const OutlineLevel sub = writeBookmarks(w, pageIds, b.children, ids[i]);
        if (sub.count)
            dict += " /First " + ref(sub.first) + " /Last " + ref(sub.last) + " /Count " + QByteArray::number(sub.count);
        w.set(ids[i], dict + " >>");
        level.count += sub.count;
    }
    return level;
}
}

// Writes the outline tree and returns the catalog entry for it ("/Outlines N 0 R").
inline QByteArray outlines(PdfObjectWriter& w, const QList<int>& pageIds, const QList<Bookmark>& top) {
    const int rootId = w.reserve();
    const detail::OutlineLevel level = detail::writeBookmarks(w, pageIds, top, rootId);
    QByteArray dict = "<< /Type /Outlines";
    if (level.count)
        dict += " /First " + ref(level.first) + " /Last " + ref(level.last) + " /Count " + QByteArray::number(level.count);
    w.set(rootId, dict + " >>");
    return "/Outlines " + ref(rootId);
}

}
