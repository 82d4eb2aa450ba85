#include "templates/StringUtil.h"
#include "templates/FlashTemplatePropertyType.h"
#include <QStringList>

namespace StringUtil {

bool isPlainName(const QString& name) {
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") && !name.contains(QLatin1Char('/'))
        && !name.contains(QLatin1Char('\\')) && !name.contains(QChar(0));
}

bool valueAsBool(const QString& text) {
    const QString upper = text.toUpper();
    return upper == QLatin1String("YES") || upper == QLatin1String("SHOW")
        || upper == QLatin1String("ENABLE") || upper == QLatin1String("TRUE");
}

int flashTemplatePropertyTypeFromString(const QString& typeName) {
    static const QStringList names = {
        "pt_text", "pt_number", "pt_color", "pt_list", "pt_composite", "pt_file",
        "pt_list_fromFunction", "pt_form_security", "pt_font", "pt_form_contactabout",
        "pt_bool", "pt_form_language"};
    const int code = names.indexOf(typeName);
    return code < 0 ? pt_text : code;
}

}
