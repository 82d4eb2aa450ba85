#include "templates/SettingsTextCheck.h"

#include "templates/FlashTemplate.h"
#include "util/FolderBounds.h"

#include <QFile>
#include <QStringDecoder>

bool SettingsTextCheck::fail(const QString& why) {
    iErrorString = why;
    return false;
}

bool SettingsTextCheck::check(const QString& path, const FlashTemplate& tmpl) {
    iErrorString.clear();
    const std::optional<qint64> size = FolderBounds::regularFileSize(path);
    if (!size) return fail(QStringLiteral("It is not a file."));
    if (*size > FlashTemplate::kMaxSettingsTextSize)
        return fail(QStringLiteral("It is too large for template settings (%1 MB at most).").arg(FlashTemplate::kMaxSettingsTextSize >> 20));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return fail(QStringLiteral("It cannot be read: %1.").arg(file.errorString()));
    const QByteArray bytes = file.readAll();
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    if (utf8.hasError() || bytes.contains('\0')) return fail(QStringLiteral("It is not a text file."));
    for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals > 0 && tmpl.propertyForKey(line.left(equals).toString().remove(QLatin1Char('\r')))) return true;
    }
    return fail(QStringLiteral("It holds no settings of the template \"%1\".").arg(tmpl.tmplName()));
}
