#include "AppTestSupport.h"
#include "app/PageEditorWindowController.h"
#include "language/LanguageFiles.h"

#include <QGroupBox>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeView>

namespace {

using AppControllerTest = AppTestSupport::AppTest;

// The demonstration book at the start. A value change sets the Apply indicator going; only Apply,
// a change of the book or the page editor rebuilds the preview, which goes at quit. The sheets
// are made once; an import sheet that ended renews the publish sheet.
TEST_F(AppControllerTest, StartsWithTheDemonstrationBookRebuildsThePreviewOnlyWhenAskedAndKeepsItsSheets) {
    EXPECT_EQ(app->window()->btnSelectTmpl()->text(), QStringLiteral("Neat"));
    EXPECT_GE(app->flashPageSource()->pages().size(), 4);
    EXPECT_EQ(value(QStringLiteral("pageWidth")), QStringLiteral("1080"));
    EXPECT_TRUE(AppTestSupport::refreshRebuildsPreview(*app));   // a start asks for one
    const QString folder = app->flashPreviewFolder();
    EXPECT_FALSE(AppTestSupport::refreshRebuildsPreview(*app));
    const auto indicator = [&] { return app->window()->actApply->icon().pixmap(16).toImage(); };
    const QImage still = indicator();
    app->tmplPpertyValueChanged();
    app->onTimerEvent();
    EXPECT_NE(indicator(), still);
    EXPECT_FALSE(AppTestSupport::refreshRebuildsPreview(*app));
    app->onApplyChange();
    EXPECT_TRUE(QFileInfo::exists(folder + QStringLiteral("/files/book.bin")));
    AppTestSupport::pause(800);   // the indicator stopped with the apply
    EXPECT_EQ(indicator(), still);
    EXPECT_EQ(app->flashPreviewFolder(), folder);   // made once, reused
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto* editor = qobject_cast<PageEditorWindowController*>(QApplication::activeModalWidget())) editor->exitWithoutSave();
    });
    closer.start(50);
    app->onEditPage();
    EXPECT_TRUE(AppTestSupport::refreshRebuildsPreview(*app));   // the page editor closed, even unsaved

    app->onConvertToFlipBook();
    OutputWindowDelegate* first = app->outputWindowDelegate();
    ASSERT_TRUE(first);
    first->done(0);
    app->onConvertToFlipBook();
    EXPECT_EQ(app->outputWindowDelegate(), first);   // no import between: the same sheet
    first->done(0);

    app->onImport();
    ImportWindowDelegate* importSheet = app->importWindowDelegate();
    ASSERT_TRUE(importSheet);
    const auto pagesBefore = app->flashPageSource();
    importSheet->onCancelAction();   // idle: ends with 0
    EXPECT_EQ(importSheet->result(), 0);
    EXPECT_EQ(app->flashPageSource(), pagesBefore);
    EXPECT_TRUE(AppSettings::shareInstance().isWindowRollUp() & 2);
    app->onConvertToFlipBook();
    EXPECT_FALSE(AppSettings::shareInstance().isWindowRollUp() & 2);
    EXPECT_TRUE(app->outputWindowDelegate());
    app->onImport();
    EXPECT_EQ(app->importWindowDelegate(), importSheet);   // kept for the run

    app->applicationWillTerminate();
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_TRUE(QFileInfo::exists(app->savedTemplateSettingsFile()));
    app.reset();
}

QStringList& caughtWarnings() {
    static QStringList warnings;
    return warnings;
}

// Settings come back at the next launch, a value still being typed at quit among them (saved
// without a warning); the page size does not. A template that failed to load never overwrites them.
TEST_F(AppControllerTest, SettingsComeBackAtTheNextLaunchWithAValueBeingTypedAtQuit) {
    FlashTemplateProperty* some = app->flashTmpl()->propertyForKey(QStringLiteral("bookTitle"));
    app->flashTmpl()->setPropertyValue(QStringLiteral("pageWidth"), QStringLiteral("612"));
    QTreeView* view = app->window()->outlineView();
    view->selectionModel()->setCurrentIndex(app->tmplDelegate()->indexOf(some), QItemSelectionModel::ClearAndSelect);
    auto* editor = qobject_cast<QLineEdit*>(view->indexWidget(app->tmplDelegate()->indexOf(some, 1)));
    ASSERT_TRUE(editor);   // selecting a text row opens its value and shows its description
    QCoreApplication::processEvents();
    EXPECT_EQ(app->window()->toolTipBox()->title(), some->title());
    EXPECT_EQ(app->window()->toolTip()->toPlainText(), some->desc());
    editor->setText(QStringLiteral("typed at quit"));

    caughtWarnings().clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext&, const QString& text) {
        if (type == QtWarningMsg) caughtWarnings() << text;
    });
    app->applicationWillTerminate();
    app.reset();
    qInstallMessageHandler(previous);
    EXPECT_TRUE(caughtWarnings().filter(QStringLiteral("commitData")).isEmpty()) << caughtWarnings().join('\n');
    app = std::make_unique<LeafMillAppDelegate>(false);
    app->applicationDidFinishLaunching();
    EXPECT_EQ(value(QStringLiteral("bookTitle")), QStringLiteral("typed at quit"));
    EXPECT_EQ(value(QStringLiteral("pageWidth")), QStringLiteral("1080"));

    const QByteArray saved = "\n\rlanguageSetting=German";
    ASSERT_TRUE(TestSupport::writeFile(app->savedTemplateSettingsFile(), saved));
    EXPECT_THROW(app->flashTmpl()->loadTemplate(QStringLiteral("Gone")), std::exception);
    app->applicationWillTerminate();
    EXPECT_EQ(TestSupport::readFile(app->savedTemplateSettingsFile()), saved);
    EXPECT_EQ(AppSettings::shareInstance().lastUsedTemplateName(), AppSettings::defaultTemplateName());
    QFile::remove(app->savedTemplateSettingsFile());
    app.reset();
}

// The last template went away: the default takes its place and the saved settings survive.
TEST(LastTemplate, AMissingOneFallsBackToTheDefaultWithANotice) {
    AppSettings& settings = AppTestSupport::freshSettings();
    settings.setLastUsedTemplateName(QStringLiteral("Gone"));
    AppTestSupport::AlertAnswers answers;
    LeafMillAppDelegate app(false);
    ASSERT_TRUE(TestSupport::writeFile(app.savedTemplateSettingsFile(), "\n\rlanguageSetting=French"));
    app.applicationDidFinishLaunching();
    EXPECT_EQ(app.flashTmpl()->tmplName(), AppSettings::defaultTemplateName());
    EXPECT_EQ(AppTestSupport::settingOf(app, QStringLiteral("languageSetting")), QStringLiteral("French"));
    EXPECT_EQ(answers.asked.size(), 1u);
    EXPECT_FALSE(LanguageFiles::languageValuePathByName(QStringLiteral("French")).isNull());   // the pool is seeded
    app.applicationWillTerminate();
    EXPECT_EQ(settings.lastUsedTemplateName(), AppSettings::defaultTemplateName());
}

} // namespace
