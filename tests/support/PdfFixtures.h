#pragma once
// Test PDFs made at test time. Two makers:
//  - makeQtPdf: QPdfWriter + QPainter pages of given sizes with text and pictures;
//  - EncryptingPdfWriter / handMadePdf: small PDFs written object by object, for what
//    QPdfWriter cannot do: /Rotate, offset crop boxes, annotations, outlines, encryption.
#include "pages/PdfObjectWriter.h"

#include <QByteArray>
#include <QColor>
#include <QCryptographicHash>
#include <QFile>
#include <QGuiApplication>
#include <QLinearGradient>
#include <QList>
#include <QMap>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QRectF>
#include <QString>
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

inline bool writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size();
}

// Pages of the given sizes in points; each shows "Page N", a gradient picture and a coloured frame.
inline bool makeQtPdf(const QString& path, const QList<QSizeF>& pageSizesInPoints) {
    ensureGuiApp();
    if (pageSizesInPoints.isEmpty())
        return false;
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
        painter.fillRect(page, Qt::white);
        QLinearGradient gradient(page.topLeft(), page.bottomRight());
        gradient.setColorAt(0, QColor::fromHsv((i * 47) % 360, 200, 230));
        gradient.setColorAt(1, QColor::fromHsv((i * 47 + 120) % 360, 200, 120));
        painter.fillRect(page.adjusted(size.width() / 8, size.height() / 3, -size.width() / 8, -size.height() / 8), gradient);
        painter.setPen(QPen(Qt::darkBlue, 4));
        painter.drawRect(page.adjusted(4, 4, -4, -4));
        QFont font = painter.font();
        font.setPointSizeF(qMax(8.0, size.height() / 12));
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(page.adjusted(0, size.height() / 12, 0, 0), Qt::AlignHCenter | Qt::AlignTop,
                         QStringLiteral("Page %1").arg(i + 1));
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
inline QByteArray ref(int id) { return QByteArray::number(id) + " 0 R"; }
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

// An RC4 of the tests' own, so checks of the book description do not lean on the code under test.
inline QByteArray rc4(QByteArray key, const QByteArray& data) {
    unsigned char s[256];
    for (int i = 0; i < 256; ++i)
        s[i] = static_cast<unsigned char>(i);
    for (int i = 0, j = 0; i < 256; ++i) {
        j = (j + s[i] + static_cast<unsigned char>(key[i % key.size()])) & 255;
        std::swap(s[i], s[j]);
    }
    QByteArray out(data.size(), Qt::Uninitialized);
    for (int n = 0, i = 0, j = 0; n < data.size(); ++n) {
        i = (i + 1) & 255;
        j = (j + s[i]) & 255;
        std::swap(s[i], s[j]);
        out[n] = static_cast<char>(data[n] ^ s[(s[i] + s[j]) & 255]);
    }
    return out;
}

// The project's object writer; with setEncryption() streams are encrypted by the standard security handler (revision 2, 40-bit
// RC4), so poppler sees a real password-protected file. Strings are not encrypted: keep them out
// of encrypted fixtures.
class EncryptingPdfWriter : public PdfObjectWriter {
public:
    void setEncryption(const QByteArray& userPassword, const QByteArray& ownerPassword) {
        static const QByteArray pad = QByteArray::fromHex(
            "28BF4E5E4E758A4164004E56FFFA01082E2E00B6D0683E802F0CA9FE6453697A");
        auto padded = [&](const QByteArray& p) { return (p + pad).left(32); };
        const QByteArray ownerKey =
            QCryptographicHash::hash(padded(ownerPassword.isEmpty() ? userPassword : ownerPassword),
                                     QCryptographicHash::Md5).left(5);
        const QByteArray o = rc4(ownerKey, padded(userPassword));
        iFileId = QCryptographicHash::hash("leafmill-fixture", QCryptographicHash::Md5);
        const qint32 p = -4;
        QByteArray pBytes(4, 0);
        for (int i = 0; i < 4; ++i)
            pBytes[i] = static_cast<char>((p >> (8 * i)) & 0xFF);
        iKey = QCryptographicHash::hash(padded(userPassword) + o + pBytes + iFileId, QCryptographicHash::Md5).left(5);
        const QByteArray u = rc4(iKey, pad);
        iEncryptId = add("<< /Filter /Standard /V 1 /R 2 /O <" + o.toHex() + "> /U <" + u.toHex() + "> /P " +
                         QByteArray::number(p) + " >>");
    }

protected:
    QByteArray streamBytes(int id, const QByteArray& data) const override {
        return iKey.isEmpty() ? data : rc4(objectKey(id), data);
    }
    QByteArray trailerEntries() const override {
        if (!iEncryptId)
            return {};
        return "/Encrypt " + ref(iEncryptId) + " /ID [<" + iFileId.toHex() + "> <" + iFileId.toHex() + ">] ";
    }

private:
    QByteArray objectKey(int id) const {
        QByteArray salt(5, 0);
        salt[0] = static_cast<char>(id & 0xFF);
        salt[1] = static_cast<char>((id >> 8) & 0xFF);
        salt[2] = static_cast<char>((id >> 16) & 0xFF);
        return QCryptographicHash::hash(iKey + salt, QCryptographicHash::Md5).left(iKey.size() + 5);
    }

    QByteArray iKey;
    QByteArray iFileId;
    int iEncryptId = 0;
};

struct HandPage {
    QRectF mediaBox = QRectF(0, 0, 612, 792);
    QRectF cropBox;            // null: none
    int rotate = 0;            // /Rotate
    QByteArray content;        // content stream; font /F1 (Helvetica) is available
    QByteArray extraEntries;   // more page dictionary entries, e.g. "/Annots [...]"
};

struct HandPdfOptions {
    QByteArray userPassword;   // encrypt when user or owner password is set
    QByteArray ownerPassword;
    // Called after the page objects were reserved (ids in page order, parent = pagesId); may add
    // objects and fill page extras; returns more catalog entries (e.g. "/Outlines 9 0 R").
    std::function<QByteArray(PdfObjectWriter&, const QList<int>& pageIds, QList<HandPage>& pages)> extend;
};

inline QByteArray handMadePdf(QList<HandPage> pages, const HandPdfOptions& options = {}) {
    EncryptingPdfWriter w;
    if (!options.userPassword.isEmpty() || !options.ownerPassword.isEmpty())
        w.setEncryption(options.userPassword, options.ownerPassword);
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
        kids += ref(pageIds[i]) + " ";
    }
    w.set(pagesId, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.size()) + " >>");
    w.set(catalogId, "<< /Type /Catalog /Pages " + ref(pagesId) + " " + catalogExtra + " >>");
    return w.finish(catalogId);
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

inline QByteArray handMadePdf(const QList<QSizeF>& sizes) {
    QList<HandPage> pages;
    for (int i = 0; i < sizes.size(); ++i)
        pages.append(markedPage(sizes[i], "Page " + QByteArray::number(i + 1)));
    return handMadePdf(pages);
}

// A PDF whose page tree names one page (1-based) by a reference that leads nowhere: the
// document opens and counts the page, but that page cannot be loaded or rendered.
inline QByteArray withUnloadablePage(QByteArray pdf, int pageNumber) {
    const qsizetype kids = pdf.indexOf("/Kids [");
    qsizetype at = kids + 7;
    for (int i = 1; i < pageNumber; ++i)
        at = pdf.indexOf(" R", at) + 2;
    const qsizetype end = pdf.indexOf(" R", at);
    const qsizetype generation = pdf.lastIndexOf(" 0", end);
    pdf[generation + 1] = '9';   // same length, so the cross-reference table stays right
    return pdf;
}

// The first part of a file, as an interrupted download leaves it.
inline QByteArray truncated(const QByteArray& pdf, double keptFraction = 0.5) {
    return pdf.left(static_cast<qsizetype>(pdf.size() * keptFraction));
}

}
