// The template and theme chooser and the library commands through the controller: the choice
// reaches the book and the preview, each command's road, and files that must be refused.
#include "AppTestSupport.h"
#include "FolderSnapshot.h"
#include "app/library/LibraryMenuCommands.h"
#include "app/sheets/SelectTemplateWindowDelegate.h"
#include "output/BookProject.h"
#include "output/BookPublisher.h"
#include "util/AppInfo.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QToolButton>
#include <QTreeView>

using AppTestSupport::AlertAnswers;
using AppTestSupport::PanelAnswers;

namespace {

// The theme export's picture folder, named without making it.
bool snapShotFolderExists() {
    return QFileInfo::exists(AppInfo::shareInstance().appWorkdTmpFolder() + QStringLiteral("/QUirevale/tmp/snap"));
}

QByteArray settingsText(LeafMillAppDelegate& app) {
    QTemporaryDir dir;
    app.flashTmpl()->exportPropertiesSettingsTo(dir.filePath(QStringLiteral("s.txt")), false);
    return TestSupport::readFile(dir.filePath(QStringLiteral("s.txt")));
}

class LibraryCommandsTest : public AppTestSupport::AppTest {
protected:
    void SetUp() override {
        QDir(FlashTemplate::userStylesFolder()).removeRecursively();
        AppTest::SetUp();
        app->onTimerCheckRefresh();   // the start's preview
    }
    QString path(const QString& name) const { return dir.filePath(name); }
    // Runs the command with every panel answering the file; answers the alerts asked.
    std::vector<AppAlert::Request> run(void (LeafMillAppDelegate::*command)(), const QString& file, QStringList* titles = nullptr) {
        PanelAnswers panels({path(file)});
        AlertAnswers alerts;
        ((*app).*command)();
        if (titles) *titles = panels.titles;
        return alerts.asked;
    }
    QTemporaryDir dir;
};

TEST_F(LibraryCommandsTest, TheChooserSelectsTheTemplateIgnoringCaseAndShowsItsThemes) {
    // A user theme without a picture is listed with an empty one.
    const QString bare = FlashTemplate::userStylesFolder() + QStringLiteral("Float/Bare");
    ASSERT_TRUE(TestSupport::writeFile(bare + QStringLiteral("/tmplSetting.txt"), "\n\rbackgroundColor=0x112233"));
    SelectTemplateWindowDelegate chooser;
    const struct { const char* asked; const char* row; int themes; } cases[] = {
        {"neat", "Neat", 3}, {"FLOAT", "Float", 4}, {"Slate", "Slate", 3}, {"gone", nullptr, 0}};
    for (const auto& c : cases) {
        chooser.prepairToTmpl(QLatin1String(c.asked));
        QListWidgetItem* row = chooser.tableViewTmpls()->currentItem();
        EXPECT_EQ(row ? row->text() : QString(), QLatin1String(c.row)) << c.asked;
        EXPECT_EQ(chooser.imgBrowserView()->count(), c.themes) << c.asked;
        EXPECT_FALSE(chooser.btnOK()->isEnabled()) << c.asked;
    }
    chooser.prepairToTmpl(QStringLiteral("float"));
    const auto themes = chooser.imgBrowserView()->findItems(QStringLiteral("Bare"), Qt::MatchExactly);
    ASSERT_EQ(themes.size(), 1);
    chooser.imgBrowserView()->setCurrentItem(themes.first());
    EXPECT_TRUE(chooser.btnOK()->isEnabled());
    EXPECT_EQ(chooser.selectedStyle(), bare + QStringLiteral("/shot.jpg"));
    chooser.tableViewTmpls()->setCurrentRow(chooser.tableViewTmpls()->count() - 1);   // another template: no choice
    EXPECT_TRUE(chooser.selectedStyle().isEmpty());
}

TEST_F(LibraryCommandsTest, AChosenThemeReachesTheBookTheEditorAndThePreview) {
    const auto dress = [&] {   // template, theme and the toolbar button's text
        return QStringList{app->flashTmpl()->tmplName(), app->flashTmpl()->styleName(), app->window()->btnSelectTmpl()->text()};
    };
    const auto pick = [](QListWidget* list, const QString& name) {
        list->setCurrentItem(list->findItems(name, Qt::MatchExactly).first());
        return list->currentItem();
    };
    app->flashTmpl()->setPropertyValue(QStringLiteral("languageSetting"), QStringLiteral("French"));
    app->onSelectTemplate();
    SelectTemplateWindowDelegate* chooser = app->libraryMenuCommands()->selectTemplateWindow();
    ASSERT_TRUE(chooser && chooser->isVisible());
    EXPECT_EQ(chooser->tableViewTmpls()->currentItem()->text(), QStringLiteral("Neat"));
    pick(chooser->tableViewTmpls(), QStringLiteral("Slate"));
    emit chooser->imgBrowserView()->itemDoubleClicked(pick(chooser->imgBrowserView(), QStringLiteral("Mint")));   // confirms

    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(dress(), QStringList({"Slate", "Mint", "Slate"}));
    EXPECT_EQ(value(QStringLiteral("pageWidth")), QStringLiteral("1080"));   // kept through the switch
    EXPECT_EQ(value(QStringLiteral("languageSetting")), QStringLiteral("French"));
    EXPECT_EQ(app->tmplDelegate()->flashTmpl(), app->flashTmpl().get());
    EXPECT_TRUE(app->window()->outlineView()->isExpanded(app->tmplDelegate()->index(0, 0)));
    EXPECT_TRUE(AppTestSupport::refreshRebuildsPreview(*app));   // in the new dress
    BookProject preview;
    ASSERT_TRUE(preview.loadProjectFromOutputFolder(app->flashPreviewFolder())) << preview.errorString().toStdString();
    EXPECT_EQ(preview.book().flashTemplate->tmplName(), QStringLiteral("Slate"));

    app->onSelectTemplate();
    chooser->onCancel();
    EXPECT_EQ(app->flashTmpl()->tmplName(), QStringLiteral("Slate"));
    app->onSelectTemplate();   // Return on a chosen picture confirms too
    pick(chooser->imgBrowserView(), QStringLiteral("Graphite"));
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(chooser->imgBrowserView(), &enter);
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(dress(), QStringList({"Slate", "Graphite", "Slate"}));
    app->undoStack()->undo();   // each switch is one step back
    EXPECT_EQ(dress(), QStringList({"Slate", "Mint", "Slate"}));
    app->undoStack()->undo();
    EXPECT_EQ(dress(), QStringList({"Neat", "Blank", "Neat"}));
}

TEST_F(LibraryCommandsTest, ThemesAndSettingsTravelThroughFilesWithTheExtensionAdded) {
    app->flashTmpl()->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Travelled"));
    auto asked = run(&LeafMillAppDelegate::onExportTheme, QStringLiteral("Mine"));
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("Mine.thm"))).isFile());
    EXPECT_FALSE(snapShotFolderExists());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].informativeText, QStringLiteral("Exported the theme successfully!"));
    QStringList titles;
    asked = run(&LeafMillAppDelegate::onImportThem, QStringLiteral("Mine.thm"), &titles);
    EXPECT_EQ(titles, QStringList{QStringLiteral("Import Themes")});
    EXPECT_TRUE(QFileInfo(FlashTemplate::stylePathFor(QStringLiteral("Neat"), QStringLiteral("Mine"))).isDir());
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].messageText, QStringLiteral("Finished Importing"));
    run(&LeafMillAppDelegate::onExportTmplSettings, QStringLiteral("settings"));
    EXPECT_TRUE(TestSupport::readFile(path(QStringLiteral("settings.txt"))).contains("bookTitle=Travelled"));
    app->flashTmpl()->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Changed"));
    run(&LeafMillAppDelegate::onImportTmplSettings, QStringLiteral("settings.txt"));
    EXPECT_EQ(value(QStringLiteral("bookTitle")), QStringLiteral("Travelled"));
    EXPECT_TRUE(AppTestSupport::refreshRebuildsPreview(*app));
    app->undoStack()->undo();
    EXPECT_EQ(value(QStringLiteral("bookTitle")), QStringLiteral("Changed"));
    // Cancelled panels write and read nothing; a cancelled settings import still rebuilds.
    PanelAnswers cancelled({});
    const QByteArray before = settingsText(*app);
    const auto files = FolderSnapshot::snapshot(dir.path());
    for (auto command : {&LeafMillAppDelegate::onExportTheme, &LeafMillAppDelegate::onImportThem,
                         &LeafMillAppDelegate::onExportTmplSettings, &LeafMillAppDelegate::onImportTmplSettings,
                         &LeafMillAppDelegate::onOpenProjectFromFolder})
        ((*app).*command)();
    EXPECT_EQ(cancelled.titles.size(), 5);
    EXPECT_FALSE(snapShotFolderExists());
    EXPECT_EQ(FolderSnapshot::snapshot(dir.path()), files);
    EXPECT_EQ(settingsText(*app), before);
    EXPECT_TRUE(AppTestSupport::refreshRebuildsPreview(*app));
}

TEST_F(LibraryCommandsTest, AReopenedBookReplacesTheCurrentOneAndTheEditorFollows) {
    const QString folder = path(QStringLiteral("published"));
    QDir().mkpath(folder);
    app->flashTmpl()->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Reopened"));
    PublishOptions options;
    options.folder = folder;
    options.name = QStringLiteral("index.html");
    BookPublisher::publish(app->book(), options);
    app->flashTmpl()->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Not this one"));

    const auto demoPages = app->flashPageSource();
    QStringList titles;
    EXPECT_TRUE(run(&LeafMillAppDelegate::onOpenProjectFromFolder, QStringLiteral("published"), &titles).empty());
    EXPECT_EQ(titles, QStringList{QStringLiteral("Open Project From Folder")});
    EXPECT_EQ(value(QStringLiteral("bookTitle")), QStringLiteral("Reopened"));
    EXPECT_NE(app->flashPageSource(), demoPages);
    EXPECT_EQ(app->flashPageSource()->pages().size(), demoPages->pages().size());
    EXPECT_EQ(app->tmplDelegate()->flashTmpl(), app->flashTmpl().get());
    EXPECT_EQ(app->window()->outlineView()->model(), app->tmplDelegate());
    EXPECT_TRUE(AppTestSupport::refreshRebuildsPreview(*app));
    // An edit in the editor lands in the reopened book.
    FlashTemplateProperty* title = app->flashTmpl()->propertyForKey(QStringLiteral("bookTitle"));
    app->tmplDelegate()->setObjectValue(QStringLiteral("Edited"), title);
    EXPECT_EQ(app->book().flashTemplate->propertyValueFor(QStringLiteral("bookTitle"), QString()), QStringLiteral("Edited"));
    app->undoStack()->undo();   // the edit
    app->undoStack()->undo();   // the reopen
    EXPECT_EQ(app->flashPageSource(), demoPages);
    EXPECT_EQ(value(QStringLiteral("bookTitle")), QStringLiteral("Not this one"));
}

// Files that cannot be used are refused with the reason; the book, the settings and the libraries
// stay as they were.
TEST_F(LibraryCommandsTest, FilesThatCannotBeUsedAreRefusedAndChangeNothing) {
    TestSupport::writeFile(path(QStringLiteral("Broken.thm")), "PK\x03\x04 not really a zip");
    TestSupport::writeFile(path(QStringLiteral("binary.txt")), QByteArray("bookTitle=\xff\xfe\x00x", 15));
    TestSupport::writeFile(path(QStringLiteral("strange.txt")), "colour=red\nsize=9\n");
    TestSupport::writeFile(path(QStringLiteral("empty.txt")), "");
    TestSupport::writeFile(path(QStringLiteral("nobook/index.html")), "<html></html>");
    const struct { void (LeafMillAppDelegate::*command)(); const char* file; const char* message; } cases[] = {
        {&LeafMillAppDelegate::onImportThem, "Broken.thm", "Failed to import!"},
        {&LeafMillAppDelegate::onImportTmplSettings, "binary.txt", "Failed to import!"},
        {&LeafMillAppDelegate::onImportTmplSettings, "strange.txt", "Failed to import!"},
        {&LeafMillAppDelegate::onImportTmplSettings, "empty.txt", "Failed to import!"},
        {&LeafMillAppDelegate::onOpenProjectFromFolder, "nobook", "Failed to open the project!"},
        {&LeafMillAppDelegate::onExportTheme, "missing/folder/x.thm", "Failed to export!"},
        {&LeafMillAppDelegate::onExportTmplSettings, "missing/folder/x.txt", "Failed to export!"},
    };
    const Book book = app->book();
    const QByteArray settings = settingsText(*app);
    for (const auto& c : cases) {
        const auto asked = run(c.command, QLatin1String(c.file));
        ASSERT_EQ(asked.size(), 1u) << c.file;
        EXPECT_EQ(asked[0].style, AppAlert::Warning) << c.file;
        EXPECT_EQ(asked[0].messageText, QLatin1String(c.message)) << c.file;
        EXPECT_FALSE(asked[0].informativeText.trimmed().isEmpty()) << c.file;
        EXPECT_EQ(app->book().pageSource, book.pageSource) << c.file;
        EXPECT_EQ(app->flashTmpl(), book.flashTemplate) << c.file;
        EXPECT_EQ(settingsText(*app), settings) << c.file;
    }
    EXPECT_FALSE(QFileInfo::exists(FlashTemplate::userStylesFolder() + QStringLiteral("Neat")));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing"))));
    EXPECT_FALSE(snapShotFolderExists());
}

} // namespace
