#include "cli/BookLook.h"

#include "cli/CliArguments.h"
#include "cli/CliError.h"
#include "templates/FlashTemplate.h"
#include "templates/StringUtil.h"
#include "util/NamedException.h"

#include <QFileInfo>

namespace BookLook {

namespace {
void checkPlainName(const QString& what, const QString& name) {
    if (!StringUtil::isPlainName(name))
        throw CliError(kExitUsage, QStringLiteral("a %1 name is a plain name without \"/\", not \"%2\"").arg(what, name));
}
}

void checkTemplateExists(const QString& templateName) {
    checkPlainName(QStringLiteral("template"), templateName);
    if (FlashTemplate::tmplPathForName(templateName).isNull())
        throw CliError(kExitUnknownLook, QStringLiteral("unknown template \"%1\" (leafmill-cli templates lists them)").arg(templateName));
}

QString themePath(const QString& templateName, const QString& themeName) {
    checkPlainName(QStringLiteral("theme"), themeName);
    const QString path = FlashTemplate::stylePathFor(templateName, themeName);
    if (path.isEmpty())
        throw CliError(kExitUnknownLook, QStringLiteral("the template \"%1\" has no theme \"%2\" (leafmill-cli templates lists them)")
                                             .arg(templateName, themeName));
    return path;
}

namespace {
void loadTemplateNamed(FlashTemplate& flashTemplate, const QString& name) {
    checkTemplateExists(name);
    try {
        flashTemplate.loadTemplate(name);
    } catch (const NamedException& e) {
        throw CliError(kExitUnknownLook, QStringLiteral("the template \"%1\" cannot be loaded: %2").arg(name, e.reason()));
    }
}

// The named theme, or the template's default theme when it has one.
QString chosenThemePath(const FlashTemplate& flashTemplate, const CliArguments& args) {
    if (args.has(QStringLiteral("theme")))
        return themePath(flashTemplate.tmplName(), args.value(QStringLiteral("theme")));
    return FlashTemplate::stylePathFor(flashTemplate.tmplName(), flashTemplate.defaultSytleName());
}
}

std::shared_ptr<FlashTemplate> makeTemplate(const CliArguments& args) {
    auto flashTemplate = std::make_shared<FlashTemplate>(FlashTemplate::Empty{});
    loadTemplateNamed(*flashTemplate, args.value(QStringLiteral("template"), QStringLiteral("Float")));
    flashTemplate->loadStyleByStylePath(chosenThemePath(*flashTemplate, args));
    applySettings(*flashTemplate, args);
    return flashTemplate;
}

void restyle(FlashTemplate& flashTemplate, const CliArguments& args) {
    if (args.has(QStringLiteral("template"))) {
        const QString name = args.value(QStringLiteral("template"));
        checkTemplateExists(name);
        FlashTemplate probe(FlashTemplate::Empty{});
        loadTemplateNamed(probe, name);
        const QString theme = chosenThemePath(probe, args);
        try {
            flashTemplate.changeTmplTo(name, theme);
        } catch (const NamedException& e) {
            throw CliError(kExitUnknownLook, QStringLiteral("the template \"%1\" cannot be loaded: %2").arg(name, e.reason()));
        }
    } else if (args.has(QStringLiteral("theme"))) {
        flashTemplate.loadStyleByStylePath(themePath(flashTemplate.tmplName(), args.value(QStringLiteral("theme"))));
    }
    applySettings(flashTemplate, args);
}

void applySettings(FlashTemplate& flashTemplate, const CliArguments& args) {
    if (args.has(QStringLiteral("settings"))) {
        const QString path = args.value(QStringLiteral("settings"));
        if (!QFileInfo(path).isFile() || !QFileInfo(path).isReadable())
            throw CliError(kExitInput, QStringLiteral("cannot read the settings file %1").arg(path));
        flashTemplate.importPropertiesSettingsFrom(path);
    }
    for (const QString& assignment : args.values(QStringLiteral("set"))) {
        const qsizetype equals = assignment.indexOf(QLatin1Char('='));
        if (equals <= 0)
            throw CliError(kExitUsage, QStringLiteral("--set needs KEY=VALUE, not \"%1\"").arg(assignment));
        const QString key = assignment.left(equals);
        if (!flashTemplate.propertyForKey(key))
            throw CliError(kExitUnknownLook, QStringLiteral("the template \"%1\" has no setting \"%2\"").arg(flashTemplate.tmplName(), key));
        flashTemplate.setPropertyValue(key, assignment.mid(equals + 1));
    }
}

}
