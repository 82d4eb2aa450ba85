// pdf2swf: one page of a PDF as a SWF movie holding the page as a JPEG bitmap.
#include "pdf2swf/PageToSwf.h"
#include "pdf2swf/Pdf2swfOptions.h"
#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const Pdf2swfOptions options = Pdf2swfOptions::parse(app.arguments().mid(1));
    int status = PageToSwf::BadArguments;
    QString error = options.error;
    if (options.ok()) {
        PageToSwf converter;
        converter.convert(options.pdfPath, options.pageNumber, options.zoom, options.jpegQuality,
                          options.flashVersion, options.outputPath);
        status = converter.result();
        error = converter.errorString();
    }
    if (status != PageToSwf::Written && (!options.quiet || status == PageToSwf::BadArguments))
        std::fprintf(stderr, "pdf2swf: %s\n", qPrintable(error));
    std::fclose(stdout);   // the caller reads our output until it is closed
    return status;
}
