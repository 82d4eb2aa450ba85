#include "app/PageEditorBridge.h"
#include "app/PageEditorWindowController.h"

void PageEditorBridge::toSelecteFiiles_(const QString& filterText) {
    iController->toSelecteFiiles(filterText);
}

void PageEditorBridge::saveFlipPageEditorXML_(const QString& saveText) {
    iController->saveFlipPageEditorXML(saveText);
}

void PageEditorBridge::exitWithoutSave_(const QVariant&) {
    iController->exitWithoutSave();
}
