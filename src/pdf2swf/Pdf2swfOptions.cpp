#include "pdf2swf/Pdf2swfOptions.h"

namespace {
bool readInt(const QString& text, int& value) {
    bool ok = false;
    const int v = text.trimmed().toInt(&ok);
    if (ok)
        value = v;
    return ok;
}
}

Pdf2swfOptions Pdf2swfOptions::parse(const QStringList& arguments) {
    Pdf2swfOptions options;
    for (qsizetype i = 0; i < arguments.size() && options.ok(); ++i) {
        const QString argument = arguments[i];
        const QString option = argument.left(2);
        QString value = argument.mid(2).trimmed();
        const bool takesValue = option == QStringLiteral("-o") || option == QStringLiteral("-p") || option == QStringLiteral("-s");
        if (takesValue && value.isEmpty() && argument.size() == 2 && i + 1 < arguments.size())
            value = arguments[++i];
        if (option == QStringLiteral("-o"))
            options.outputPath = value;
        else if (option == QStringLiteral("-p"))
            options.applyPages(value);
        else if (option == QStringLiteral("-s"))
            options.applySetting(value);
        else if (argument == QStringLiteral("-qq") || argument == QStringLiteral("-q"))
            options.quiet = true;
        else if (argument == QStringLiteral("-t") || argument == QStringLiteral("-G"))
            ;   // one movie with a stop at its single frame: always so here
        else if (argument.startsWith(QLatin1Char('-')) || !options.pdfPath.isEmpty())
            options.error = QStringLiteral("unknown argument \"%1\"").arg(argument);
        else
            options.pdfPath = argument;
    }
    if (options.ok() && options.pdfPath.isEmpty())
        options.error = QStringLiteral("no PDF file given");
    else if (options.ok() && options.outputPath.isEmpty())
        options.error = QStringLiteral("no output file given (-o)");
    else if (options.ok() && options.pageNumber < 1)
        options.error = QStringLiteral("no page given (-p N-N)");
    return options;
}

// One page only: "N" or "N-N".
void Pdf2swfOptions::applyPages(const QString& pages) {
    const QStringList bounds = pages.split(QLatin1Char('-'));
    int first = 0, last = 0;
    if (bounds.size() > 2 || !readInt(bounds.first(), first) || !readInt(bounds.last(), last) || first != last || first < 1)
        error = QStringLiteral("page range \"%1\" is not a single page").arg(pages);
    else
        pageNumber = first;
}

void Pdf2swfOptions::applySetting(const QString& setting) {
    const QString key = setting.section(QLatin1Char('='), 0, 0).trimmed();
    const QString value = setting.section(QLatin1Char('='), 1);
    bool valid = true;
    if (key == QStringLiteral("jpegquality"))
        valid = readInt(value, jpegQuality) && jpegQuality >= 0 && jpegQuality <= 100;
    else if (key == QStringLiteral("zoom"))
        valid = readInt(value, zoom) && zoom > 0 && zoom <= 2400;
    else if (key == QStringLiteral("flashversion"))
        valid = readInt(value, flashVersion) && flashVersion >= 6 && flashVersion <= 32;
    else if (key != QStringLiteral("disablelinks"))
        valid = true;   // settings we have no use for are accepted and ignored
    if (!valid)
        error = QStringLiteral("bad setting \"%1\"").arg(setting);
}
