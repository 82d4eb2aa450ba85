#include "util/WebAddress.h"

#include <QRegularExpression>
#include <QSet>

namespace {
// Endings that name a file next to the book rather than a top-level domain.
bool isFileEnding(const QString& ending) {
    static const QSet<QString> endings = {
        "htm", "html", "xhtml", "shtml", "php", "asp", "aspx", "jsp", "pdf", "jpg", "jpeg", "png", "gif",
        "bmp", "svg", "webp", "tif", "tiff", "ico", "swf", "flv", "mp3", "mp4", "m4a", "m4v", "wav", "ogg",
        "ogv", "webm", "avi", "mov", "wmv", "txt", "rtf", "doc", "docx", "xls", "xlsx", "ppt", "pptx",
        "odt", "ods", "odp", "csv", "xml", "json", "js", "css", "zip", "rar", "gz", "tar", "epub", "exe",
        "dmg", "apk", "thm", "bin"};
    return endings.contains(ending.toLower());
}

bool isAllowedScheme(const QString& scheme) {
    static const QSet<QString> schemes = {"http", "https", "mailto", "tel", "ftp"};
    return schemes.contains(scheme.toLower());
}
}

namespace WebAddress {

QString normalized(const QString& address) {
    QString text = address;
    text.remove(QLatin1Char('\t')).remove(QLatin1Char('\n')).remove(QLatin1Char('\r'));
    qsizetype start = 0, end = text.size();
    while (start < end && text.at(start).unicode() <= 0x20)
        ++start;
    while (end > start && text.at(end - 1).unicode() <= 0x20)
        --end;
    return text.mid(start, end - start);
}

bool startsWithHost(const QString& address) {
    static const QRegularExpression host(QStringLiteral(
        "^((?:[a-z0-9](?:[a-z0-9-]{0,61}[a-z0-9])?\\.)+([a-z]{2,63}))(?::\\d{1,5})?(?:[/?#]|$)"),
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = host.match(address);
    if (!match.hasMatch())
        return false;
    return address.startsWith(QLatin1String("www."), Qt::CaseInsensitive) || !isFileEnding(match.captured(2));
}

QString followable(const QString& address) {
    const QString text = normalized(address);
    if (text.isEmpty())
        return {};
    if (text.startsWith(QLatin1String("//")))
        return QStringLiteral("https:") + text;
    if (startsWithHost(text))
        return QStringLiteral("https://") + text;
    static const QRegularExpression scheme(QStringLiteral("^([a-z][a-z0-9+.-]*):"), QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = scheme.match(text);
    if (match.hasMatch() && !isAllowedScheme(match.captured(1)))
        return {};
    return text;
}

}
