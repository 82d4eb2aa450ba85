// The template and theme chooser and the library commands through the controller: the choice
// reaches the book and the preview, each command's road, and files that must be refused.
#include "AppTestSupport.h"
#include "FolderSnapshot.h"
#include "app/LeafMillAppDelegate.h"
#include "app/MainWindow.h"
#include "app/library/FileChooser.h"
#include "app/library/LibraryMenuCommands.h"
#include "app/settings-editor/FlashTemplateOutlineDelegate.h"
#include "app/sheets/SelectTemplateWindowDelegate.h"
#include "output/BookProject.h"
#include "output/BookPublisher.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include "templates/FlashTemplate.h"
#include "util/AppInfo.h"
#include "zip/ZKFileArchive.h"

#include <QFileDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QUndoStack>
#include <QTreeView>

using AppTestSupport::AlertAnswers;
using AppTestSupport::saveShot;

namespace {

// Answers every open and save panel with the paths given (none: cancelled), and keeps a picture of
// the first panel of each title.
class PanelAnswers {
public:
    explicit PanelAnswers(QStringList paths) {
        FileChooser::setResponder([this, paths](QFileDialog& panel) {
            titles << panel.windowTitle();
            panel.resize(720, 440);
            saveShot(&panel, QStringLiteral("d13-panel-%1.png").arg(panel.windowTitle().replace(' ', '-').toLower()));
            return paths;
        });
    }
    ~PanelAnswers() { FileChooser::setResponder({}); }
    QStringList titles;
};

void saveAlertShots(const std::vector<AppAlert::Request>& asked, const QString& name) {
    for (const AppAlert::Request& request : asked) {
        std::unique_ptr<QMessageBox> box(AppAlert::makeBox(nullptr, request));
        box->show();
        saveShot(box.get(), QStringLiteral("d13-alert-%1.png").arg(name));
    }
}

// The theme export's picture folder, named without making it.
bool snapShotFolderExists() {
    return QFileInfo::exists(AppInfo::shareInstance().appWorkdTmpFolder() + QStringLiteral("/QUirevale/tmp/snap"));
}

QString value(LeafMillAppDelegate& app, const QString& key) {
    return app.flashTmpl()->propertyValueFor(key, QString());
}

QByteArray settingsText(LeafMillAppDelegate& app) {
    QTemporaryDir dir;
    app.flashTmpl()->exportPropertiesSettingsTo(dir.filePath(QStringLiteral("s.txt")), false);
    return TestSupport::readFile(dir.filePath(QStringLiteral("s.txt")));
}

class LibraryCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        AppTestSupport::freshSettings();
        QDir().mkpath(FlashPage::flashPageTempFolder());
        QDir(FlashTemplate::userStylesFolder()).removeRecursively();
        app = std::make_unique<LeafMillAppDelegate>(false);
        app->applicationDidFinishLaunching();
        app->setIsNeedChagePage(false);
    }
    void TearDown() override { app->applicationWillTerminate(); }
    QString path(const QString& name) const { return dir.filePath(name); }

    QTemporaryDir dir;
    std::unique_ptr<LeafMillAppDelegate> app;
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
    app->flashTmpl()->setPropertyValue(QStringLiteral("languageSetting"), QStringLiteral("French"));
    app->onSelectTemplate();
    SelectTemplateWindowDelegate* chooser = app->libraryMenuCommands()->selectTemplateWindow();
    ASSERT_TRUE(chooser && chooser->isVisible());
    EXPECT_EQ(chooser->tableViewTmpls()->currentItem()->text(), QStringLiteral("Neat"));
    chooser->tableViewTmpls()->setCurrentItem(chooser->tableViewTmpls()->findItems(QStringLiteral("Slate"), Qt::MatchExactly).first());
    QListWidgetItem* mint = chooser->imgBrowserView()->findItems(QStringLiteral("Mint"), Qt::MatchExactly).first();
    chooser->imgBrowserView()->setCurrentItem(mint);
    saveShot(chooser, QStringLiteral("d13-chooser.png"));
    emit chooser->imgBrowserView()->itemDoubleClicked(mint);   // a double-click confirms

    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(app->flashTmpl()->tmplName(), QStringLiteral("Slate"));
    EXPECT_EQ(app->flashTmpl()->styleName(), QStringLiteral("Mint"));
    EXPECT_EQ(value(*app, QStringLiteral("pageWidth")), QStringLiteral("1080"));   // kept through the switch
    EXPECT_EQ(value(*app, QStringLiteral("languageSetting")), QStringLiteral("French"));
    EXPECT_EQ(app->window()->btnSelectTmpl()->text(), QStringLiteral("Slate"));
    EXPECT_EQ(app->tmplDelegate()->flashTmpl(), app->flashTmpl().get());
    const QModelIndex firstGroup = app->tmplDelegate()->index(0, 0);
    EXPECT_TRUE(app->window()->outlineView()->isExpanded(firstGroup));
    EXPECT_TRUE(app->isNeedChagePage());

    app->onTimerCheckRefresh();   // the preview's next check rebuilds it in the new dress
    BookProject preview;
    ASSERT_TRUE(preview.loadProjectFromOutputFolder(app->flashPreviewFolder())) << preview.errorString().toStdString();
    EXPECT_EQ(preview.book().flashTemplate->tmplName(), QStringLiteral("Slate"));

    app->onSelectTemplate();
    chooser->onCancel();
    EXPECT_EQ(app->flashTmpl()->tmplName(), QStringLiteral("Slate"));
    app->onSelectTemplate();   // Return on a chosen picture confirms too
    chooser->imgBrowserView()->setCurrentItem(chooser->imgBrowserView()->findItems(QStringLiteral("Graphite"), Qt::MatchExactly).first());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QCoreApplication::sendEvent(chooser->imgBrowserView(), &enter);
    EXPECT_FALSE(chooser->isVisible());
    EXPECT_EQ(app->flashTmpl()->styleName(), QStringLiteral("Graphite"));
    app->undoStack()->undo();   // each switch is one step back
    EXPECT_EQ(app->flashTmpl()->styleName(), QStringLiteral("Mint"));
    app->undoStack()->undo();
    EXPECT_EQ(app->flashTmpl()->tmplName(), QStringLiteral("Neat"));
    EXPECT_EQ(app->window()->btnSelectTmpl()->text(), QStringLiteral("Neat"));
}

TEST_F(LibraryCommandsTest, ThemesAndSettingsTravelThroughFilesWithTheExtensionAdded) {
    app->flashTmpl()->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Travelled"));
    {
        PanelAnswers panels({path(QStringLiteral("Mine"))});
        AlertAnswers alerts;
        app->onExportTheme();
        EXPECT_TRUE(QFileInfo(path(QStringLiteral("Mine.thm"))).isFile());
        EXPECT_FALSE(snapShotFolderExists());
        ASSERT_EQ(alerts.asked.size(), 1u);
        EXPECT_EQ(alerts.asked[0].informativeText, QStringLiteral("Exported the theme successfully!"));
        saveAlertShots(alerts.asked, QStringLiteral("theme-exported"));
    }
    {
        PanelAnswers panels({path(QStringLiteral("Mine.thm"))});
        AlertAnswers alerts;
        app->onImportThem();
        EXPECT_EQ(panels.titles, QStringList{QStringLiteral("Import Themes")});
        EXPECT_TRUE(QFileInfo(FlashTemplate::stylePathFor(QStringLiteral("Neat"), QStringLiteral("Mine"))).isDir());
        ASSERT_EQ(alerts.asked.size(), 1u);
        EXPECT_EQ(alerts.asked[0].messageText, QStringLiteral("Finished Importing"));
        saveAlertShots(alerts.asked, QStringLiteral("theme-imported"));
    }
    {
        PanelAnswers panels({path(QStringLiteral("settings"))});
        app->onExportTmplSettings();
        EXPECT_TRUE(TestSupport::readFile(path(QStringLiteral("settings.txt"))).contains("bookTitle=Travelled"));
    }
    app->flashTmpl()->setPropertyValue(QStringLiteral("bookTitle"), QStringLiteral("Changed"));
    {
        PanelAnswers panels({path(QStringLiteral("settings.txt"))});
        app->onImportTmplSettings();
        EXPECT_EQ(value(*app, QStringLiteral("bookTitle")), QStringLiteral("Travelled"));
        EXPECT_TRUE(app->isNeedChagePage());
        app->undoStack()->undo();
        EXPECT_EQ(value(*app, QStringLiteral("bookTitle")), QStringLiteral("Changed"));
    }
    // Cancelled panels write and read nothing; a cancelled settings import still rebuilds.
    PanelAnswers cancelled({});
    app->setIsNeedChagePage(false);
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
    EXPECT_TRUE(app->isNeedChagePage());
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
    PanelAnswers panels({folder});
    AlertAnswers alerts;
    app->onOpenProjectFromFolder();
    EXPECT_TRUE(alerts.asked.empty());
    EXPECT_EQ(panels.titles, QStringList{QStringLiteral("Open Project From Folder")});
    EXPECT_EQ(value(*app, QStringLiteral("bookTitle")), QStringLiteral("Reopened"));
    EXPECT_NE(app->flashPageSource(), demoPages);
    EXPECT_EQ(app->flashPageSource()->pages().size(), demoPages->pages().size());
    EXPECT_EQ(app->tmplDelegate()->flashTmpl(), app->flashTmpl().get());
    EXPECT_EQ(app->window()->outlineView()->model(), app->tmplDelegate());
    EXPECT_TRUE(app->isNeedChagePage());
    // An edit in the editor lands in the reopened book.
    FlashTemplateProperty* title = app->flashTmpl()->propertyForKey(QStringLiteral("bookTitle"));
    app->tmplDelegate()->setObjectValue(QStringLiteral("Edited"), title);
    EXPECT_EQ(app->book().flashTemplate->propertyValueFor(QStringLiteral("bookTitle"), QString()), QStringLiteral("Edited"));
    app->undoStack()->undo();   // the edit
    app->undoStack()->undo();   // the reopen
    EXPECT_EQ(app->flashPageSource(), demoPages);
    EXPECT_EQ(value(*app, QStringLiteral("bookTitle")), QStringLiteral("Not this one"));
}

// Files that cannot be used are refused with the reason; the book, the settings and the libraries
// stay as they were.
TEST_F(LibraryCommandsTest, FilesThatCannotBeUsedAreRefusedAndChangeNothing) {
    TestSupport::writeFile(path(QStringLiteral("Broken.thm")), "PK\x03\x04 not really a zip");
    const QString malformed = path(QStringLiteral("malformed"));
    TestSupport::writeFile(malformed + QStringLiteral("/Meta.xml"), "<Meta><FStyleName>x</FStyle");
    TestSupport::writeFile(malformed + QStringLiteral("/tmplSetting.txt"), "\n\rbookTitle=x");
    std::unique_ptr<ZKFileArchive> archive = ZKFileArchive::archiveWithArchivePath(path(QStringLiteral("Malformed.thm")));
    ASSERT_EQ(archive->deflateDirectory(malformed, malformed, false), ZKSucceeded);
    TestSupport::writeFile(path(QStringLiteral("binary.txt")), QByteArray("bookTitle=\xff\xfe\x00x", 15));
    TestSupport::writeFile(path(QStringLiteral("strange.txt")), "colour=red\nsize=9\n");
    TestSupport::writeFile(path(QStringLiteral("empty.txt")), "");
    TestSupport::writeFile(path(QStringLiteral("nobook/index.html")), "<html></html>");
    TestSupport::writeFile(path(QStringLiteral("damaged/files/book.bin")), "garbage");

    const struct { void (LeafMillAppDelegate::*command)(); const char* file; const char* message; const char* shot; } cases[] = {
        {&LeafMillAppDelegate::onImportThem, "Broken.thm", "Failed to import!", "theme-broken"},
        {&LeafMillAppDelegate::onImportThem, "Malformed.thm", "Failed to import!", nullptr},
        {&LeafMillAppDelegate::onImportTmplSettings, "binary.txt", "Failed to import!", "settings-refused"},
        {&LeafMillAppDelegate::onImportTmplSettings, "strange.txt", "Failed to import!", nullptr},
        {&LeafMillAppDelegate::onImportTmplSettings, "empty.txt", "Failed to import!", nullptr},
        {&LeafMillAppDelegate::onOpenProjectFromFolder, "nobook", "Failed to open the project!", "project-refused"},
        {&LeafMillAppDelegate::onOpenProjectFromFolder, "damaged", "Failed to open the project!", nullptr},
        {&LeafMillAppDelegate::onExportTheme, "missing/folder/x.thm", "Failed to export!", "theme-export-failed"},
        {&LeafMillAppDelegate::onExportTmplSettings, "missing/folder/x.txt", "Failed to export!", nullptr},
    };
    const Book book = app->book();
    const QByteArray settings = settingsText(*app);
    for (const auto& c : cases) {
        PanelAnswers panels({path(QLatin1String(c.file))});
        AlertAnswers alerts;
        ((*app).*c.command)();
        ASSERT_EQ(alerts.asked.size(), 1u) << c.file;
        EXPECT_EQ(alerts.asked[0].style, AppAlert::Warning) << c.file;
        EXPECT_EQ(alerts.asked[0].messageText, QLatin1String(c.message)) << c.file;
        EXPECT_FALSE(alerts.asked[0].informativeText.trimmed().isEmpty()) << c.file;
        if (c.shot) saveAlertShots(alerts.asked, QLatin1String(c.shot));
        EXPECT_EQ(app->book().pageSource, book.pageSource) << c.file;
        EXPECT_EQ(app->flashTmpl(), book.flashTemplate) << c.file;
        EXPECT_EQ(settingsText(*app), settings) << c.file;
    }
    EXPECT_FALSE(QFileInfo::exists(FlashTemplate::userStylesFolder() + QStringLiteral("Neat")));
    EXPECT_FALSE(QFileInfo::exists(path(QStringLiteral("missing"))));
    EXPECT_FALSE(snapShotFolderExists());
}

} // namespace
