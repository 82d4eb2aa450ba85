// The demonstration book's preview in the window, headless, on a desktop and a phone, and a theme
// exported with its picture (the chain test imports and publishes through the sheets). With
// LEAFMILL_SHOTS set to a folder, the window and the chooser are saved there as pictures.
#include "AppTestSupport.h"
#include "app/library/LibraryMenuCommands.h"
#include "app/sheets/SelectTemplateWindowDelegate.h"
#include "app/preview/PreviewStage.h"

#include <QImage>
#include <QPointer>
#include <QWebChannel>

using AppTestSupport::evaluate;
using AppTestSupport::saveShot;
using AppTestSupport::waitFor;

namespace {

TEST(AppHeadlessRun, ThePreviewOnADesktopAndAPhoneAndAThemeWithItsPicture) {
    AppTestSupport::PreviewApp run;
    LeafMillAppDelegate& app = run.app;
    MainWindow* window = app.window();
    ASSERT_TRUE(run.reloaded(0) && run.lastLoadOk);
    EXPECT_TRUE(waitFor([&] {   // at least one page picture loaded
        return evaluate(window->webView(), QStringLiteral("[...document.images].some(i => i.complete && i.naturalWidth > 0)")).toBool();
    }, 15000));
    saveShot(window, QStringLiteral("main-window.png"));

    // The preview page reaches nothing of ours under "connector", and trying leaves all standing.
    const QPointer<QObject> connector = window->webView()->page()->webChannel()->registeredObjects().value(QStringLiteral("connector"));
    const QVariantMap probe = AppTestSupport::probeConnector(window->webView(), 0);
    EXPECT_EQ(probe.value(QStringLiteral("members")).toStringList(), QStringList());
    EXPECT_EQ(probe.value(QStringLiteral("answered")).toStringList(), QStringList());
    EXPECT_TRUE(connector && connector->objectName().isEmpty());
    EXPECT_TRUE(window->isVisible());

    // A theme exported from the preview carries its picture; imported, the chooser shows it.
    QTemporaryDir dir;
    FileChooser::setResponder([&](QFileDialog& panel) {
        const bool save = panel.acceptMode() == QFileDialog::AcceptSave;
        return QStringList{dir.filePath(save ? QStringLiteral("Pictured") : QStringLiteral("Pictured.thm"))};
    });
    {
        AppTestSupport::AlertAnswers answers;
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

    // The phone toggle: a 390 x 844 viewport, the mobile version when the book is published with one.
    const struct { bool mobile; const char* page; const char* shot; } phones[] = {
        {true, "/mobile/index.html", "e13-phone-preview-mobile.png"},
        {false, "/index.html", "e13-phone-preview.png"},
    };
    for (const auto& c : phones) {
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

} // namespace
