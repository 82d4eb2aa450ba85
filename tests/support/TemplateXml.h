#pragma once
// Template descriptions and their settings, for tests that write small templates.
#include <QString>

namespace TemplateXml {
inline QString property(const QString& key, const QString& value, const QString& type = QStringLiteral("pt_text"),
                        const QString& children = {}) {
    QString xml = QStringLiteral("<property type=\"%1\"><key>%2</key><title>%2</title><desc/>"
                                 "<value>%3</value><valueSource/><defalutValue/>")
                      .arg(type, key, value);
    if (!children.isEmpty())
        xml += "<childProperties>" + children + "</childProperties>";
    return xml + "</property>";
}

// The info elements after htmlPath, swfPath and defaultStyle, and the settings.
inline QByteArray description(const QString& properties, const QString& moreInfo = QStringLiteral(
                                  "<macAppFilesFolder/><mobileTmplFilesPath/><templateValidCode>CODE-1</templateValidCode>")) {
    return ("<flashTemplate><info><htmlPath>index.html</htmlPath><swfPath>book.swf</swfPath><defaultStyle>Blank</defaultStyle>" +
            moreInfo + "</info><properties>" + properties + "</properties></flashTemplate>").toUtf8();
}
}
