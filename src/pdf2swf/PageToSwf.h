#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

// Renders one PDF page and wraps it into a SWF movie. Exit codes of the tool are its results.
class PageToSwf {
public:
    enum Result { Written = 0, BadArguments = 1, CannotOpen = 2, NoSuchPage = 3, CannotRender = 4, CannotWrite = 5 };

    // Renders pageNumber (1-based) at zoom pixels per inch and writes the movie to outputPath
    // atomically; on any failure nothing appears there, result() and errorString() say why.
    bool convert(const QString& pdfPath, int pageNumber, int zoom, int jpegQuality, int flashVersion,
                 const QString& outputPath);
    Result result() const { return iResult; }
    const QString& errorString() const { return iErrorString; }

    static QImage renderPage(const QString& pdfPath, int pageNumber, int zoom, Result* result);

private:
    bool fail(Result result, const QString& reason);

    Result iResult = Written;
    QString iErrorString;
};
