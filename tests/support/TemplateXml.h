#pragma once
// One setting of a template description, for tests that write small templates.
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
}
