// The road through the window, headless: the demonstration book's preview on a desktop and a
// phone, an import of SWF pages through the sheet, a publish through the sheet (the page editor's
// road is the chain test's). With LEAFMILL_SHOTS set to a folder, the main window and both sheets
// are saved there as pictures.
#include "AppTestSupport.h"
#include "app/library/LibraryMenuCommands.h"
#include "app/sheets/SelectTemplateWindowDelegate.h"
#include "app/preview/PreviewStage.h"
#include "PdfFixtures.h"

#include <QImage>
#include <QPointer>
#include <QWebChannel>

using AppTestSupport::AlertAnswers;
using AppTestSupport::evaluate;
using AppTestSupport::saveShot;
using AppTestSupport::waitFor;

namespace {

// Whether the preview page shows at least one loaded page picture.
bool previewShowsPages(QWebEngineView* view) {
    return waitFor([&] {
        return evaluate(view, QStringLiteral("Array.from(document.images).some(i => i.complete && i.naturalWidth > 0)")).toBool();
    }, 15000);
}

// The phone toggle: a 390 x 844 viewport, the mobile version when the book is published with one.
void checkPhonePreview(AppTestSupport::PreviewApp& run) {
    MainWindow* window = run.app.window();
    const struct { bool mobile; const char* page; const char* shot; } cases[] = {
        {true, "/mobile/index.html", "e13-phone-preview-mobile.png"},
        {false, "/index.html", "e13-phone-preview.png"},
    };
    for (const auto& c : cases) {
        AppSettings::shareInstance().setOutputMobileVersion(c.mobile ? 1 : 0);
        const int before = run.loads;
        window->actPhonePreview->setChecked(false);
        window->actPhonePreview->trigger();
        ASSERT_TRUE(run.reloaded(before));
        AppTestSupport::pause(1500);
        EXPECT_TRUE(window->webView()->url().path().endsWith(QLatin1String(c.page))) << c.page;
        EXPECT_EQ(evaluate(window->webView(), QStringLiteral("innerWidth + 'x' + innerHeight")).toString(), QStringLiteral("390x844"));
        saveShot(window, QString::fromLatin1(c.shot));
    }
    window->actPhonePreview->trigger();
    EXPECT_FALSE(window->previewStage()->isPhone());
}

// A theme exported from the preview carries its picture; imported, the chooser shows it.
void checkThemeWithPicture(LeafMillAppDelegate& app, const QTemporaryDir& dir) {
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
    saveShot(app.libraryMenuCommands()->selectTemplateWindow(), QStringLiteral("d13-chooser-exported-theme.png"));
    app.libraryMenuCommands()->selectTemplateWindow()->done(0);
}

TEST(AppHeadlessRun, PreviewImportAndPublishThroughTheSheets) {
    QTemporaryDir dir;
    const QString pdf = dir.filePath(QStringLiteral("sample.pdf"));
    ASSERT_TRUE(PdfFixtures::makeQtPdf(pdf, 24, QSizeF(420, 560)));

    AppTestSupport::PreviewApp run;
    LeafMillAppDelegate& app = run.app;
    ASSERT_TRUE(run.reloaded(0) && run.lastLoadOk);
    EXPECT_TRUE(previewShowsPages(app.window()->webView()));
    saveShot(app.window(), QStringLiteral("main-window.png"));

    // The preview page reaches nothing of ours under "connector", and trying leaves all standing.
    const QPointer<QObject> connector = app.window()->webView()->page()->webChannel()->registeredObjects().value(QStringLiteral("connector"));
    const QVariantMap probe = AppTestSupport::probeConnector(app.window()->webView(), 0);
    EXPECT_EQ(probe.value(QStringLiteral("members")).toStringList(), QStringList());
    EXPECT_EQ(probe.value(QStringLiteral("answered")).toStringList(), QStringList());
    EXPECT_TRUE(connector && connector->objectName().isEmpty());
    EXPECT_TRUE(app.window()->isVisible());
    checkThemeWithPicture(app, dir);
    checkPhonePreview(run);

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
    EXPECT_TRUE(previewShowsPages(app.window()->webView()));
    saveShot(app.window(), QStringLiteral("main-window-imported.png"));

    const QString folder = dir.filePath(QStringLiteral("published"));
    EXPECT_EQ(AppTestSupport::publishThroughSheet(app, folder), 1u);   // only the offer to open
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/sample.html")));
    EXPECT_EQ(QDir(folder + QStringLiteral("/files/page")).entryList({QStringLiteral("*.swf")}, QDir::Files).size(), 24);
}

} // namespace
