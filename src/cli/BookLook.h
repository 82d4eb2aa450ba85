#pragma once
#include <QString>
#include <memory>

class CliArguments;
class FlashTemplate;

// The look options of the command line: --template, --theme, --settings and --set.
namespace BookLook {
// A new template with its theme and the user's settings; throws CliError.
std::shared_ptr<FlashTemplate> makeTemplate(const CliArguments& args);
// Switches a reopened book's template or theme when asked (page size and languages stay), then
// applies --settings and --set.
void restyle(FlashTemplate& flashTemplate, const CliArguments& args);
// --settings then --set.
void applySettings(FlashTemplate& flashTemplate, const CliArguments& args);
// The theme folder of the template's theme; throws for an unknown theme.
QString themePath(const QString& templateName, const QString& themeName);
void checkTemplateExists(const QString& templateName);
}
