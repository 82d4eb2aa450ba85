#include "app/library/LibraryMenuCommands.h"

#include "app/AppAlert.h"
#include "app/LeafMillAppDelegate.h"
#include "app/MainWindow.h"
#include "app/history/BookState.h"
#include "app/history/SettingValuesCommand.h"
#include "app/library/FileChooser.h"
#include "app/sheets/SelectTemplateWindowDelegate.h"
#include "output/BookProject.h"
#include "templates/FlashTemplate.h"
#include "templates/FlashTemplateStyle.h"
#include "templates/SettingsTextCheck.h"
#include "util/AppIdentity.h"
#include "util/AppInfo.h"
#include "util/BriskUtility.h"
#include "util/NamedException.h"

#include <QDir>
#include <QFileInfo>
#include <QScopeGuard>
#include <QUndoStack>

namespace {
// Reasons name files by their whole path; the user chose the file and knows where it is.
// Said as a sentence of its own.
QString reasonAbout(const QString& file, QString reason) {
    reason.replace(file, QFileInfo(file).fileName());
    if (reason.isEmpty()) return reason;
    reason[0] = reason[0].toUpper();
    return reason.endsWith(QLatin1Char('.')) ? reason : reason + QLatin1Char('.');
}

QString reasonOf(const std::exception& error) {
    const auto* named = dynamic_cast<const NamedException*>(&error);
    return named ? named->reason() : QString::fromUtf8(error.what());
}

AppAlert::Request alert(AppAlert::Style style, const QString& message, const QString& text) {
    AppAlert::Request request;
    request.style = style;
    request.messageText = message;
    request.informativeText = text;
    request.buttons = {QObject::tr("OK")};
    return request;
}
}

LibraryMenuCommands::LibraryMenuCommands(LeafMillAppDelegate& app) : QObject(&app), iApp(app) {}

bool LibraryMenuCommands::hasTemplate() const {
    return iApp.flashTmpl() && !iApp.flashTmpl()->properties().empty();
}

SelectTemplateWindowDelegate* LibraryMenuCommands::selectTemplateWindow() const {
    return iSelectTmplWindow;
}

QString LibraryMenuCommands::snapShotFolder() {
    return AppInfo::shareInstance().tmpFolderForPath(QStringLiteral("QUirevale/tmp/snap/"));
}

// ---------------------------------------------------------------- template and theme

void LibraryMenuCommands::onSelectTemplate() {
    if (!iSelectTmplWindow) {
        iSelectTmplWindow = new SelectTemplateWindowDelegate(iApp.window());
        connect(iSelectTmplWindow, &QDialog::finished, this, &LibraryMenuCommands::selectTmplWindowDidEnd);
    }
    iSelectTmplWindow->prepairToTmpl(iApp.flashTmpl() ? iApp.flashTmpl()->tmplName() : QString());
    iSelectTmplWindow->open();
}

void LibraryMenuCommands::selectTmplWindowDidEnd(int returnCode) {
    if (returnCode != 1 || !iSelectTmplWindow) return;
    const QString shot = iSelectTmplWindow->selectedStyle();
    if (shot.isEmpty()) return;
    const QString styleFolder = QFileInfo(shot).path();
    changeTemplate(QFileInfo(QFileInfo(styleFolder).path()).fileName(), styleFolder);
}

// The new template is made aside, so one that cannot be loaded costs nothing, and the switch is
// one step of the book's history.
void LibraryMenuCommands::changeTemplate(const QString& tmplName, const QString& styleFolder) {
    BookState after = iApp.currentBookState();
    try {
        auto changed = std::make_shared<FlashTemplate>(FlashTemplate::Empty{});
        changed->changeTmplTo(tmplName, styleFolder);
        const QString languages = QStringLiteral("languageSetting");
        changed->setPropertyValue(languages, iApp.flashTmpl()->propertyValueFor(languages, QString()));
        after.book.flashTemplate = changed;
    } catch (const std::exception& error) {
        AppAlert::run(iApp.window(), alert(AppAlert::Warning, tr("Failed to change the template!"),
                                           tr("The template \"%1\" cannot be used: %2\n\nThe book keeps its template.").arg(tmplName, reasonOf(error))));
        return;
    }
    iApp.changeBook(after, tr("Template %1").arg(LeafMillAppDelegate::capitalisedWords(tmplName)));
}

// ---------------------------------------------------------------- themes

void LibraryMenuCommands::onExportTheme() {
    if (!hasTemplate()) return;
    const QString snapFolder = snapShotFolder();
    const auto removeSnapShot = qScopeGuard([snapFolder] { QDir(snapFolder).removeRecursively(); });
    const QString shot = BriskUtility::joinPath(snapFolder, QStringLiteral("shot.jpg"));
    iApp.generateSnapShot(shot);
    const QString path = FileChooser::saveFile(iApp.window(), tr("Export Theme"), tr("Theme files"), QStringLiteral("thm"));
    if (path.isEmpty()) return;

    FlashTemplate* tmpl = iApp.flashTmpl().get();
    FlashTemplateStyle style;
    style.setFlashTmpl(tmpl);
    style.setAppVersion(AppIdentity::appVersion());
    style.setStyleDesc(QString(QLatin1String("")));
    style.setStyleName(QFileInfo(path).fileName());
    style.setStyleSnapShotImgFile(shot);
    style.setTemplateName(tmpl->tmplName());
    style.setTmplVersion(tmpl->tmplVersion());
    if (style.exprotStyleTo(path))
        AppAlert::run(iApp.window(), alert(AppAlert::Informational, tr("Finished Exporting"), tr("Exported the theme successfully!")));
    else
        AppAlert::run(iApp.window(), alert(AppAlert::Warning, tr("Failed to export!"),
                                           tr("Sorry, failed to export the theme.\n\n%1").arg(reasonAbout(path, style.errorString()))));
}

void LibraryMenuCommands::onImportThem() {
    const QStringList files = FileChooser::openFiles(iApp.window(), tr("Import Themes"), tr("Theme files"), QStringLiteral("thm"), true);
    if (files.isEmpty()) return;
    FlashTemplateStyle style;
    QStringList problems;
    for (const QString& file : files) {
        // A theme of a template that is not installed answers true but says why nothing came in.
        if (!style.importStyleFrom(file) || !style.errorString().isEmpty())
            problems << QStringLiteral("• %1").arg(reasonAbout(file, style.errorString()));
    }
    const QString finished = tr("Import finished! Please view the imported themes in the templates/themes selection window.");
    if (problems.isEmpty()) {
        AppAlert::run(iApp.window(), alert(AppAlert::Informational, tr("Finished Importing"), finished));
        return;
    }
    const bool noneIn = problems.size() == files.size();
    AppAlert::run(iApp.window(),
                  alert(AppAlert::Warning, noneIn ? tr("Failed to import!") : tr("Finished Importing"),
                        (noneIn ? QString() : finished + QStringLiteral("\n\n")) +
                            tr("Not imported:\n%1").arg(problems.join(QLatin1Char('\n')))));
}

// ---------------------------------------------------------------- settings text

void LibraryMenuCommands::onExportTmplSettings() {
    if (!hasTemplate()) return;
    const QString path = FileChooser::saveFile(iApp.window(), tr("Export Template Settings"), tr("Text files"), QStringLiteral("txt"));
    if (path.isEmpty() || iApp.flashTmpl()->exportPropertiesSettingsTo(path, false)) return;
    AppAlert::run(iApp.window(), alert(AppAlert::Warning, tr("Failed to export!"),
                                       tr("Sorry, the settings could not be written to \"%1\".").arg(path)));
}

void LibraryMenuCommands::onImportTmplSettings() {
    if (!hasTemplate()) return;
    const QStringList files = FileChooser::openFiles(iApp.window(), tr("Import Template Settings"), tr("Text files"), QStringLiteral("txt"), false);
    if (!files.isEmpty()) {
        SettingsTextCheck check;
        if (check.check(files.first(), *iApp.flashTmpl()))
            importSettingsText(files.first());
        else
            AppAlert::run(iApp.window(), alert(AppAlert::Warning, tr("Failed to import!"),
                                               tr("Sorry, \"%1\" was not imported. %2\n\nThe settings are unchanged.")
                                                   .arg(QFileInfo(files.first()).fileName(), check.errorString())));
    }
    iApp.reloadSettingsTree();
}

void LibraryMenuCommands::importSettingsText(const QString& path) {
    const std::shared_ptr<FlashTemplate> tmpl = iApp.flashTmpl();
    const QStringList before = SettingValuesCommand::valuesOf(*tmpl);
    tmpl->importPropertiesSettingsFrom(path);
    auto* command = new SettingValuesCommand(tr("Import of %1").arg(QFileInfo(path).fileName()), tmpl, before,
                                             [this] { iApp.reloadSettingsTree(); });
    if (command->changesSomething())
        iApp.undoStack()->push(command);
    else
        delete command;
}

// ---------------------------------------------------------------- projects

void LibraryMenuCommands::onOpenProjectFromFolder() {
    const QString folder = FileChooser::openFolder(iApp.window(), tr("Open Project From Folder"));
    if (folder.isEmpty()) return;
    BookProject project;
    if (!project.loadProjectFromOutputFolder(folder)) {
        AppAlert::run(iApp.window(), alert(AppAlert::Warning, tr("Failed to open the project!"),
                                           tr("The folder \"%1\" holds no book that can be opened: %2\n\nThe current book is unchanged.")
                                               .arg(QFileInfo(folder).fileName(), project.errorString())));
        return;
    }
    BookState reopened;
    reopened.book = project.book();
    reopened.bookName = QFileInfo(folder).fileName();
    iApp.changeBook(reopened, tr("Open Project"));
    if (!project.warnings().isEmpty())
        AppAlert::notify(iApp.window(), alert(AppAlert::Informational, tr("Opened the project"),
                                              tr("Some files of the book were left out:\n%1").arg(project.warnings().join(QLatin1Char('\n')))));
}
