#include "app/history/SettingEditCommand.h"

#include "templates/FlashTemplate.h"

SettingEditCommand::SettingEditCommand(const QString& text, std::shared_ptr<FlashTemplate> tmpl, const QString& key, const QString& oldValue,
                                       const QString& newValue, Changed changed)
    : QUndoCommand(text), iTmpl(std::move(tmpl)), iKey(key), iOldValue(oldValue),
      iNewValue(newValue), iChanged(std::move(changed)) {}

void SettingEditCommand::redo() {
    if (iDone) {
        iDone = false;
        return;
    }
    set(iNewValue);
}

void SettingEditCommand::set(const QString& value) {
    iTmpl->setPropertyValue(iKey, value);
    iChanged(iKey);
}
