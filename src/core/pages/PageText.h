#pragma once
#include <QByteArray>
#include <QList>
#include <QRectF>
#include <QString>
#include <optional>

namespace Poppler {
class Document;
}

// The words of a page in reading order and where each lies on the shown page, for the players'
// text layer, search and screen readers. Stored in the book as a script a script element loads
// (so it works from disk): leafmillPageText(N,{"t":text,"w":[start,length,x,y,width,height,...]});
// The text is written as a JSON string, so nothing a PDF holds can leave it.
class PageText {
public:
    struct Word {
        int start = 0;    // in text, UTF-16 code units like script string indices
        int length = 0;
        QRectF box;       // fractions of the shown page from its top left
    };

    QString text;         // words separated by " ", lines by "\n"
    QList<Word> words;

    // The words of the 1-based page, rotation and crop box applied as for links.
    static PageText fromPage(Poppler::Document* doc, int pageNumber);
    // The words of a page's text as a drawing of it collects it: one box a character (in points of
    // the shown page from its top left), words split at spaces and lines at line breaks.
    static PageText fromCharacters(const QString& text, const QList<QRectF>& boxes, const QSizeF& shown);
    // Reads a page text script back (a reopened book's is untrusted): size-capped, every number
    // checked; nothing when the file is not one.
    static std::optional<PageText> readScript(const QString& path);

    QByteArray script(int pageIndex) const;
    bool writeScript(const QString& path, int pageIndex) const;

    // What a page may hold: more words or text than this is cut off.
    static constexpr int kMaxWords = 100000;
    static constexpr int kMaxTextLength = 1000000;
    static constexpr qint64 kMaxScriptBytes = 16 * 1024 * 1024;

private:
    bool append(const QString& word, const QRectF& box, const QString& separator);
    // Appends the word at its place in points; false once the page is full.
    bool appendPlaced(const QString& word, const QRectF& points, const QSizeF& shown, QString& separator);
};
