#pragma once
#include <QObject>
#include <QPointer>
#include <QString>

class LeafMillAppDelegate;
class SelectTemplateWindowDelegate;

// The main window's library and project commands: choosing a template and theme, exporting and
// importing themes and settings text, and reopening a published book. The controller owns the
// book; these commands change it only through the controller and never leave a half-changed book:
// a file that cannot be used is refused with the reason and the book stays as it was.
class LibraryMenuCommands : public QObject {
    Q_OBJECT
public:
    explicit LibraryMenuCommands(LeafMillAppDelegate& app);

    void onSelectTemplate();
    void selectTmplWindowDidEnd(int returnCode);
    void onExportTheme();
    void onImportThem();
    void onExportTmplSettings();
    void onImportTmplSettings();
    void onOpenProjectFromFolder();

    SelectTemplateWindowDelegate* selectTemplateWindow() const;   // null before the first use

private:
    bool hasTemplate() const;
    // Where a theme export keeps the preview's picture while it runs (made here, removed afterwards).
    static QString snapShotFolder();
    // Switches to the template and theme; a template that cannot be loaded leaves the current one.
    void changeTemplate(const QString& tmplName, const QString& styleFolder);
    // Imports a checked settings text as one step of the book's history.
    void importSettingsText(const QString& path);

    LeafMillAppDelegate& iApp;
    QPointer<SelectTemplateWindowDelegate> iSelectTmplWindow;
};
