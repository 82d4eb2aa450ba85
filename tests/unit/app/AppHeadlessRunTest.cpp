// The road through the window, headless: the demonstration book's preview, an import of SWF pages
// through the sheet, a publish through the sheet (the page editor's road is the chain test's). With
// LEAFMILL_SHOTS set to a folder, the main window and both sheets are saved there as pictures.
#include "AppTestSupport.h"
#include "app/library/FileChooser.h"
#include "app/library/LibraryMenuCommands.h"
#include "app/sheets/ImportWindowDelegate.h"
#include "app/sheets/SelectTemplateWindowDelegate.h"
#include "app/preview/PreviewStage.h"
#include "app/sheets/OutputWindowDelegate.h"
#include "PdfFixtures.h"
#include "util/Resources.h"

#include <QAbstractButton>
#include <QButtonGroup>
#include <QFileDialog>
#include <QImage>
#include <QLabel>
#include <QPointer>
#include <QWebChannel>
#include <QWebEngineView>

using AppTestSupport::AlertAnswers;
using AppTestSupport::evaluate;
using AppTestSupport::saveShot;
using AppTestSupport::waitFor;

namespace {

// The player's build replaces the source tree's placeholder page with the real preview player.
bool previewPlayerBuilt() {
    QFile page(Resources::path(QStringLiteral("extIndex.html")));
    return page.open(QIODevice::ReadOnly) && page.readAll().contains("snapCurrentTmpl");
}

// Whether the preview page shows at least one loaded page picture.
bool previewShowsPages(QWebEngineView* view) {
    return waitFor([&] {
        return evaluate(view, QStringLiteral("Array.from(document.images).some(i => i.complete && i.naturalWidth > 0)")).toBool();
    }, 15000);
}

// A controller with the preview view, started; counts the preview's loads.
struct PreviewApp {
    PreviewApp() {
        QObject::connect(&app, &LeafMillAppDelegate::previewLoaded, [this](bool ok) { ++loads; lastLoadOk = ok; });
        app.applicationDidFinishLaunching();
    }
    ~PreviewApp() { app.applicationWillTerminate(); }
    bool reloaded(int loadsBefore) { return waitFor([&] { return loads > loadsBefore; }, 30000); }
    const bool fresh = (AppTestSupport::freshSettings(), true);   // before the controller reads them
    LeafMillAppDelegate app{true};
    int loads = 0;
    bool lastLoadOk = false;
};

TEST(AppHeadlessRun, PreviewImportAndPublishThroughTheSheets) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sample.pdf"));
    ASSERT_TRUE(PdfFixtures::makeQtPdf(pdf, 24, QSizeF(420, 560)));

    PreviewApp run;
    LeafMillAppDelegate& app = run.app;
    ASSERT_TRUE(run.reloaded(0) && run.lastLoadOk);
    const bool player = previewPlayerBuilt();
    if (player) EXPECT_TRUE(previewShowsPages(app.window()->webView()));
    AppTestSupport::pause(500);
    saveShot(app.window(), QStringLiteral("main-window.png"));

    // The preview page reaches nothing of ours under "connector", and trying leaves all standing.
    QWebEnginePage* previewPage = app.window()->webView()->page();
    const QPointer<QObject> connector = previewPage->webChannel()->registeredObjects().value(QStringLiteral("connector"));
    const QVariantMap probe = AppTestSupport::probeConnector(previewPage, 0);
    EXPECT_EQ(probe.value(QStringLiteral("members")).toStringList(), QStringList());
    EXPECT_TRUE(AppTestSupport::nothingAnswered(probe)) << QVariant(probe).toString().toStdString();
    EXPECT_TRUE(connector && connector->objectName().isEmpty());
    EXPECT_TRUE(app.window()->isVisible());
    if (player) {
        // A theme exported from here carries the preview's picture; imported, the chooser shows it.
        FileChooser::setResponder([&](QFileDialog& panel) {
            const bool save = panel.acceptMode() == QFileDialog::AcceptSave;
            return QStringList{dir.filePath(save ? QStringLiteral("Pictured") : QStringLiteral("Pictured.thm"))};
        });
        {
            AlertAnswers answers;
            app.onExportTheme();
            app.onImportThem();
            EXPECT_EQ(answers.asked.size(), 2u);
        }
        FileChooser::setResponder({});
        const QImage snapshot(FlashTemplate::stylePathFor(QStringLiteral("Neat"), QStringLiteral("Pictured")) + QStringLiteral("/shot.jpg"));
        EXPECT_FALSE(snapshot.isNull());
        EXPECT_LE(qMax(snapshot.width(), snapshot.height()), 180);
        app.onSelectTemplate();
        AppTestSupport::pause(300);
        saveShot(app.libraryMenuCommands()->selectTemplateWindow(), QStringLiteral("d13-chooser-exported-theme.png"));
        app.libraryMenuCommands()->selectTemplateWindow()->done(0);
    }

    app.onImport();
    ImportWindowDelegate* importSheet = app.importWindowDelegate();
    importSheet->txtImportFile()->setText(pdf);
    importSheet->renderEngineType()->button(0)->click();   // SWF pages through our converter
    importSheet->onImportAction();
    ASSERT_TRUE(waitFor([&] { return importSheet->lblInfo()->text().startsWith(QLatin1String("Importing:")); }, 30000));
    saveShot(importSheet, QStringLiteral("import-sheet.png"));
    const int loadsBefore = run.loads;
    ASSERT_TRUE(waitFor([&] { return importSheet->isHidden(); }, 120000));
    EXPECT_EQ(app.flashPageSource()->pages().size(), 24);
    EXPECT_EQ(AppTestSupport::settingOf(app, QStringLiteral("pageWidth")), QStringLiteral("420"));
    ASSERT_TRUE(run.reloaded(loadsBefore));   // rebuilt without a command
    if (player) EXPECT_TRUE(previewShowsPages(app.window()->webView()));
    AppTestSupport::pause(1500);
    if (player) saveShot(app.window(), QStringLiteral("main-window-imported.png"));

    app.onConvertToFlipBook();
    OutputWindowDelegate* publishSheet = app.outputWindowDelegate();
    const QString folder = dir.filePath(QStringLiteral("published"));
    publishSheet->txtOutputFolder()->setText(folder);
    AppTestSupport::pause(300);
    saveShot(publishSheet, QStringLiteral("publish-sheet.png"));
    AlertAnswers answers([](const AppAlert::Request&) { return 1; });   // "No": do not open
    publishSheet->onPublish();
    EXPECT_EQ(answers.asked.size(), 1u);   // only the offer to open
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/sample.html")));
    EXPECT_EQ(QDir(folder + QStringLiteral("/files/page")).entryList({QStringLiteral("*.swf")}, QDir::Files).size(), 24);
}

// The phone toggle: a 390 x 844 viewport, the mobile version when the book is published with one.
TEST(AppHeadlessRun, PhonePreviewShowsThePhonesViewport) {
    PreviewApp run;
    LeafMillAppDelegate& app = run.app;
    ASSERT_TRUE(run.reloaded(0));
    QWebEngineView* view = app.window()->webView();
    const struct { bool mobile; const char* page; const char* shot; } cases[] = {
        {false, "/index.html", "e13-phone-preview.png"},
        {true, "/mobile/index.html", "e13-phone-preview-mobile.png"},
    };
    for (const auto& c : cases) {
        AppSettings::shareInstance().setOutputMobileVersion(c.mobile ? 1 : 0);
        const int before = run.loads;
        app.window()->actPhonePreview->setChecked(false);
        app.window()->actPhonePreview->trigger();
        ASSERT_TRUE(run.reloaded(before));
        AppTestSupport::pause(1500);
        EXPECT_TRUE(view->url().path().endsWith(QLatin1String(c.page))) << view->url().toString().toStdString();
        EXPECT_EQ(evaluate(view, QStringLiteral("innerWidth + 'x' + innerHeight")).toString(), QStringLiteral("390x844"));
        saveShot(app.window(), QString::fromLatin1(c.shot));
    }
    app.window()->actPhonePreview->trigger();
    EXPECT_FALSE(app.window()->previewStage()->isPhone());
}

} // namespace
