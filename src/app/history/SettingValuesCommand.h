#pragma once
#include <QStringList>
#include <QUndoCommand>
#include <functional>
#include <memory>

class FlashTemplate;

// A change of many settings at once (settings text imported). It keeps every value of the
// template's tree, in tree order, before and after; the tree's shape does not change between.
// The change is already in place when the command is pushed, so its first redo does nothing.
class SettingValuesCommand : public QUndoCommand {
public:
    using Changed = std::function<void()>;
    SettingValuesCommand(const QString& text, std::shared_ptr<FlashTemplate> tmpl, QStringList before, Changed changed);

    static QStringList valuesOf(const FlashTemplate& tmpl);
    bool changesSomething() const { return iBefore != iAfter; }

    void undo() override { set(iBefore); }
    void redo() override;

private:
    void set(const QStringList& values);

    std::shared_ptr<FlashTemplate> iTmpl;
    QStringList iBefore;
    QStringList iAfter;
    Changed iChanged;
    bool iDone = true;
};
