#include "app/history/SettingValuesCommand.h"

#include "templates/FlashTemplate.h"

SettingValuesCommand::SettingValuesCommand(const QString& text, std::shared_ptr<FlashTemplate> tmpl, QStringList before,
                                           Changed changed)
    : QUndoCommand(text), iTmpl(std::move(tmpl)), iBefore(std::move(before)), iAfter(valuesOf(*iTmpl)),
      iChanged(std::move(changed)) {}

QStringList SettingValuesCommand::valuesOf(const FlashTemplate& tmpl) {
    QStringList values;
    tmpl.forEachProperty([&](FlashTemplateProperty& pro) { values << pro.value(); });
    return values;
}

void SettingValuesCommand::redo() {
    if (iDone) {
        iDone = false;
        return;
    }
    set(iAfter);
}

// Values go back as they were stored, past setPropertyValue's file-path rule.
void SettingValuesCommand::set(const QStringList& values) {
    qsizetype at = 0;
    iTmpl->forEachProperty([&](FlashTemplateProperty& pro) {
        if (at < values.size()) pro.setValue(values[at++]);
    });
    iChanged();
}
