#pragma once
#include <QObject>
#include <QString>
#include <QVariant>

class PageEditorWindowController;

// The three operations the page editor's scripts may call, under their script names. Offered on
// the web channel as ScriptBridge<PageEditorBridge>, so nothing else of it answers.
class PageEditorBridge : public QObject {
    Q_OBJECT
public:
    explicit PageEditorBridge(PageEditorWindowController* controller, QObject* parent = nullptr)
        : QObject(parent), iController(controller) {}

    Q_INVOKABLE void toSelecteFiiles_(const QString& filterText);
    Q_INVOKABLE void saveFlipPageEditorXML_(const QString& saveText);
    Q_INVOKABLE void exitWithoutSave_(const QVariant& ignored);

private:
    PageEditorWindowController* iController;
};
