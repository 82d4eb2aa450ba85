#include "cli/SamplePdfWriter.h"

#include "pages/PdfObjectWriter.h"
#include "util/AtomicFile.h"

#include <QBuffer>
#include <QColor>
#include <QImage>
#include <QLinearGradient>
#include <QList>
#include <QPainter>
#include <QStringList>

namespace {

constexpr double kWidth = 612, kHeight = 792;

QByteArray num(double v) { return QByteArray::number(v, 'f', 2); }

QByteArray literal(const QString& text) {
    QByteArray out = "(";
    for (char c : text.toLatin1()) {
        if (c == '(' || c == ')' || c == '\\')
            out += '\\';
        out += c;
    }
    return out + ")";
}

QByteArray textLine(const char* font, double size, double x, double y, const QString& text) {
    return "BT /" + QByteArray(font) + " " + num(size) + " Tf " + num(x) + " " + num(y) + " Td " + literal(text) + " Tj ET\n";
}

QByteArray fill(const QColor& c) { return num(c.redF()) + " " + num(c.greenF()) + " " + num(c.blueF()) + " rg\n"; }

QByteArray rect(double x, double y, double w, double h) {
    return num(x) + " " + num(y) + " " + num(w) + " " + num(h) + " re f\n";
}

QStringList wrapped(const QString& paragraph, int width) {
    QStringList lines;
    QString line;
    for (const QString& word : paragraph.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (!line.isEmpty() && line.size() + 1 + word.size() > width) {
            lines << line;
            line.clear();
        }
        line += (line.isEmpty() ? QString() : QStringLiteral(" ")) + word;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// A landscape picture of hills under a sky, different for every seed.
QByteArray pictureJpeg(int seed) {
    QImage image(480, 300, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(0, 0, 0, 300);
    sky.setColorAt(0, QColor::fromHsv((seed * 37) % 360, 120, 250));
    sky.setColorAt(1, QColor::fromHsv((seed * 37 + 40) % 360, 60, 255));
    painter.fillRect(image.rect(), sky);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 230, 120));
    painter.drawEllipse(QPointF(100 + seed * 23 % 280, 80), 36, 36);
    for (int hill = 0; hill < 3; ++hill) {
        painter.setBrush(QColor::fromHsv((110 + seed * 11 + hill * 25) % 360, 150, 200 - hill * 40));
        painter.drawEllipse(QPointF(80 + hill * 170 + seed * 7 % 60, 330), 220 - hill * 30, 120 + hill * 15);
    }
    painter.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 85);
    return bytes;
}

struct Chapter {
    QString title;
    int firstPage;                 // 0-based
    QList<QPair<QString, int>> sections;
};

const QList<Chapter>& chapters() {
    static const QList<Chapter> list = {
        {"1. Paper and Ink", 2, {{"1.1 Choosing paper", 3}, {"1.2 Mixing ink", 4}}},
        {"2. Colour", 5, {{"2.1 Light and shade", 6}, {"2.2 A page turned sideways", 7}}},
        {"3. Maps", 8, {{"3.1 Reading a map", 9}, {"3.2 Drawing a map", 10}}},
        {"4. Notes", 11, {{"4.1 Keeping notes", 12}}},
    };
    return list;
}

constexpr int kPageCount = 14;
constexpr int kRotatedPage = 7;    // 0-based

QString headingFor(int page) {
    if (page == 0)
        return QStringLiteral("A Walk Through the Mill");
    if (page == 1)
        return QStringLiteral("Contents");
    if (page == kPageCount - 1)
        return QStringLiteral("The End");
    for (const Chapter& chapter : chapters()) {
        if (chapter.firstPage == page)
            return chapter.title;
        for (const auto& section : chapter.sections)
            if (section.second == page)
                return section.first;
    }
    return QStringLiteral("Page %1").arg(page + 1);
}

QString bodyText(int page) {
    return QStringLiteral(
               "This is page %1 of a small book made to show what a page-flipping book can do. Every page carries a "
               "heading, a few lines of text and a picture, so that thumbnails and zoomed pages can be told apart. "
               "The bookmarks of this document become the outline of the book, and its links become places on the "
               "page that can be clicked: the contents page leads to each chapter, and the foot of every page leads "
               "back to the contents. One page in the middle is turned sideways, as scanned documents often are.")
        .arg(page + 1);
}

struct PageLinks {
    QByteArray annotations;   // the /Annots entries, filled once the page objects exist
};

QByteArray linkTo(int pageId, double x, double y, double w, double h) {
    return "<< /Type /Annot /Subtype /Link /Border [0 0 0] /Rect [" + num(x) + " " + num(y) + " " + num(x + w) + " " +
           num(y + h) + "] /Dest [" + PdfObjectWriter::ref(pageId) + " /XYZ null null null] >>";
}

QByteArray linkToWeb(const QByteArray& url, double x, double y, double w, double h) {
    return "<< /Type /Annot /Subtype /Link /Border [0 0 0] /Rect [" + num(x) + " " + num(y) + " " + num(x + w) + " " +
           num(y + h) + "] /A << /S /URI /URI " + literal(QString::fromLatin1(url)) + " >> >>";
}

QByteArray pageContent(int page) {
    QByteArray content = fill(QColor(252, 250, 244)) + rect(0, 0, kWidth, kHeight);
    content += fill(QColor(60, 90, 140)) + rect(0, kHeight - 90, kWidth, 90);
    content += "1 1 1 rg\n" + textLine("F2", page == 0 ? 30 : 24, 48, kHeight - 60, headingFor(page));
    content += "0.1 0.1 0.1 rg\n";
    if (page == 1) {
        double y = kHeight - 150;
        for (const Chapter& chapter : chapters()) {
            content += textLine("F2", 16, 60, y, chapter.title + QStringLiteral("  ....  page %1").arg(chapter.firstPage + 1));
            y -= 40;
        }
        content += "0.1 0.3 0.7 rg\n" + textLine("F1", 14, 60, y - 20, QStringLiteral("Visit https://leafmill.example.org/"));
        return content;
    }
    double y = kHeight - 130;
    for (const QString& line : wrapped(bodyText(page), 82)) {
        content += textLine("F1", 12, 48, y, line);
        y -= 17;
    }
    content += "q 420 0 0 262.5 96 150 cm /Im1 Do Q\n";
    content += fill(QColor(60, 90, 140)) + rect(0, 0, kWidth, 50);
    content += "1 1 1 rg\n" + textLine("F1", 11, 48, 20, QStringLiteral("Back to contents")) +
               textLine("F1", 11, kWidth - 100, 20, QStringLiteral("Page %1").arg(page + 1));
    return content;
}

QByteArray pageAnnotations(int page, const QList<int>& pageIds) {
    QByteArray annots;
    if (page == 1) {
        double y = kHeight - 150;
        for (const Chapter& chapter : chapters()) {
            annots += linkTo(pageIds[chapter.firstPage], 56, y - 6, 420, 24) + " ";
            y -= 40;
        }
        annots += linkToWeb("https://leafmill.example.org/", 56, y - 26, 300, 22);
    } else if (page > 1) {
        annots += linkTo(pageIds[1], 44, 12, 120, 26);
    }
    return annots;
}

// Outline items are linked as siblings; children hang under their chapter.
QByteArray outlineItem(const QString& title, int parentId, int prevId, int nextId, int pageId, const QByteArray& extra) {
    QByteArray body = "<< /Title " + literal(title) + " /Parent " + PdfObjectWriter::ref(parentId) + " /Dest [" +
                      PdfObjectWriter::ref(pageId) + " /Fit]";
    if (prevId)
        body += " /Prev " + PdfObjectWriter::ref(prevId);
    if (nextId)
        body += " /Next " + PdfObjectWriter::ref(nextId);
    return body + extra + " >>";
}

int addOutline(PdfObjectWriter& pdf, const QList<int>& pageIds) {
    const int root = pdf.reserve();
    QList<int> chapterIds;
    for (qsizetype i = 0; i < chapters().size(); ++i)
        chapterIds << pdf.reserve();
    for (qsizetype c = 0; c < chapters().size(); ++c) {
        const Chapter& chapter = chapters()[c];
        QList<int> sectionIds;
        for (qsizetype s = 0; s < chapter.sections.size(); ++s)
            sectionIds << pdf.reserve();
        for (qsizetype s = 0; s < sectionIds.size(); ++s)
            pdf.set(sectionIds[s], outlineItem(chapter.sections[s].first, chapterIds[c], s ? sectionIds[s - 1] : 0,
                                               s + 1 < sectionIds.size() ? sectionIds[s + 1] : 0,
                                               pageIds[chapter.sections[s].second], {}));
        const QByteArray children = " /First " + PdfObjectWriter::ref(sectionIds.first()) + " /Last " +
                                    PdfObjectWriter::ref(sectionIds.last()) + " /Count " + QByteArray::number(sectionIds.size());
        pdf.set(chapterIds[c], outlineItem(chapter.title, root, c ? chapterIds[c - 1] : 0,
                                           c + 1 < chapterIds.size() ? chapterIds[c + 1] : 0,
                                           pageIds[chapter.firstPage], children));
    }
    pdf.set(root, "<< /Type /Outlines /First " + PdfObjectWriter::ref(chapterIds.first()) + " /Last " +
                      PdfObjectWriter::ref(chapterIds.last()) + " /Count " + QByteArray::number(chapterIds.size()) + " >>");
    return root;
}

}

namespace SamplePdfWriter {

bool write(const QString& path) {
    PdfObjectWriter pdf;
    const int catalogId = pdf.reserve();
    const int pagesId = pdf.reserve();
    const int font = pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>");
    const int boldFont = pdf.add("<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>");
    QList<int> pageIds;
    for (int i = 0; i < kPageCount; ++i)
        pageIds << pdf.reserve();
    QByteArray kids;
    for (int page = 0; page < kPageCount; ++page) {
        const int contentId = pdf.addStream({}, pageContent(page));
        QByteArray resources = "/Font << /F1 " + PdfObjectWriter::ref(font) + " /F2 " + PdfObjectWriter::ref(boldFont) + " >>";
        if (page != 1) {
            const QByteArray jpeg = pictureJpeg(page);
            const int imageId = pdf.addStream(
                "/Type /XObject /Subtype /Image /Width 480 /Height 300 /ColorSpace /DeviceRGB /BitsPerComponent 8 "
                "/Filter /DCTDecode", jpeg);
            resources += " /XObject << /Im1 " + PdfObjectWriter::ref(imageId) + " >>";
        }
        QByteArray dict = "<< /Type /Page /Parent " + PdfObjectWriter::ref(pagesId) + " /MediaBox [0 0 612 792] /Resources << " +
                          resources + " >> /Contents " + PdfObjectWriter::ref(contentId);
        if (page == kRotatedPage)
            dict += " /Rotate 90";
        const QByteArray annots = pageAnnotations(page, pageIds);
        if (!annots.isEmpty())
            dict += " /Annots [" + annots + "]";
        pdf.set(pageIds[page], dict + " >>");
        kids += PdfObjectWriter::ref(pageIds[page]) + " ";
    }
    pdf.set(pagesId, "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(kPageCount) + " >>");
    const int outlineId = addOutline(pdf, pageIds);
    pdf.set(catalogId, "<< /Type /Catalog /Pages " + PdfObjectWriter::ref(pagesId) + " /Outlines " +
                           PdfObjectWriter::ref(outlineId) + " /PageMode /UseOutlines >>");
    return AtomicFile::write(path, pdf.finish(catalogId));
}

}
