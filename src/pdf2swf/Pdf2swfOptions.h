#pragma once
#include <QString>
#include <QStringList>

// The command line the page converter gives us, e.g.
//   book.pdf "-o /w/5.swf" "-p 5-5" "-s jpegquality=85" -t -G -qq "-s flashversion=8" "-s disablelinks" "-s zoom=144"
// An option and its value may share one argument or come as two.
struct Pdf2swfOptions {
    QString pdfPath;
    QString outputPath;
    int pageNumber = 0;        // 1-based
    int jpegQuality = 85;
    int zoom = 72;             // pixels per inch of the page
    int flashVersion = 8;
    bool quiet = false;
    QString error;             // set when the command line is unusable

    static Pdf2swfOptions parse(const QStringList& arguments);
    bool ok() const { return error.isEmpty(); }

private:
    void applySetting(const QString& setting);
    void applyPages(const QString& pages);
};
