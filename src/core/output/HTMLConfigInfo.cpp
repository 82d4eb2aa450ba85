#include "output/HTMLConfigInfo.h"

#include "output/TextTemplate.h"
#include "util/ScriptText.h"
#include "util/AtomicFile.h"

#include <QFile>
#include <QStringDecoder>

bool HTMLConfigInfo::generateHTMLFrom(const QString& templatePath, const QString& outputPath) const {
    QString page;
    if (!readTextFile(templatePath, page))
        return false;
    TextTemplate text(page);
    text.setItem(QStringLiteral("index.title"), ScriptText::html(iHTMLTitle));
    text.setItem(QStringLiteral("meta.keywords"), ScriptText::html(iHTMLKeywords));
    text.setItem(QStringLiteral("meta.description"), ScriptText::html(iHTMLDescription));
    text.setItem(QStringLiteral("script.bottom"), iHTMLScript);
    text.setItem(QStringLiteral("script.other"), iOtherScript);
    text.setItem(QStringLiteral("noscriptText"), iNoscriptText);
    return writeTextFile(outputPath, text.parse());
}

bool HTMLConfigInfo::readTextFile(const QString& path, QString& text) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    const auto encoding = QStringConverter::encodingForData(bytes);
    QStringDecoder decoder(encoding.value_or(QStringConverter::Utf8));
    text = decoder.decode(bytes);
    // Pages saved in a legacy 8-bit encoding are read as Latin-1 rather than refused.
    if (decoder.hasError() && !encoding)
        text = QString::fromLatin1(bytes);
    return true;
}

bool HTMLConfigInfo::writeTextFile(const QString& path, const QString& text) {
    return AtomicFile::write(path, text.toUtf8());
}
