#pragma once
#include <QUndoCommand>
#include <functional>
#include <memory>

class FlashTemplate;

// One committed edit of a template setting. The edit is already in place when the command is
// pushed, so its first redo does nothing. The command keeps the template it belongs to alive;
// the setting is found again by its key, since a template's tree may be rebuilt meanwhile.
class SettingEditCommand : public QUndoCommand {
public:
    using Changed = std::function<void(const QString& key)>;
    SettingEditCommand(const QString& text, std::shared_ptr<FlashTemplate> tmpl, const QString& key, const QString& oldValue,
                       const QString& newValue, Changed changed);

    void undo() override { set(iOldValue); }
    void redo() override;

private:
    void set(const QString& value);

    std::shared_ptr<FlashTemplate> iTmpl;
    QString iKey;
    QString iOldValue;
    QString iNewValue;
    Changed iChanged;
    bool iDone = true;
};
