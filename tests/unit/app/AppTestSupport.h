#pragma once
// The app tests' environment: private user folders and trust files, one QApplication (with the
// web engine's shared contexts), and helpers to answer alerts and panels, start the controller,
// publish through the sheet and wait for the event loop.
#include "app/AppAlert.h"
#include "app/LeafMillAppDelegate.h"
#include "app/MainWindow.h"
#include "app/library/FileChooser.h"
#include "app/project/KeptBook.h"
#include "app/settings-editor/FlashTemplateOutlineDelegate.h"
#include "app/sheets/ImportWindowDelegate.h"
#include "app/sheets/OutputWindowDelegate.h"
#include "TestSupport.h"
#include "output/FlashPlayerTrust.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include "pages/FlashPageSourceImg.h"
#include "templates/FlashTemplate.h"
#include "util/AppSettings.h"
#include "util/Resources.h"

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUndoStack>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace AppTestSupport {

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        const QString home = TestSupport::isolateUserFolders();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
        const QString runtime = home + QStringLiteral("/runtime");
        QDir().mkpath(runtime);
        QFile::setPermissions(runtime, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime));
        FlashPlayerTrust::setTrustFolders(home + QStringLiteral("/trust-machine"), home + QStringLiteral("/trust-user"));
        QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = {name, nullptr};
        iApp = std::make_unique<QApplication>(argc, argv);
    }
    // Inside main, not among the exit handlers: the web engine's contexts need live thread data.
    void TearDown() override { iApp.reset(); }

private:
    std::unique_ptr<QApplication> iApp;
};

// Answers every alert with the button the function picks, and keeps what was asked.
class AlertAnswers {
public:
    explicit AlertAnswers(std::function<int(const AppAlert::Request&)> pick = [](const AppAlert::Request&) { return 0; }) {
        AppAlert::setResponder([this, pick](const AppAlert::Request& request) {
            asked.push_back(request);
            return pick(request);
        });
    }
    ~AlertAnswers() { AppAlert::setResponder({}); }
    std::vector<AppAlert::Request> asked;
};

// Runs the event loop until the condition holds or the time is up; answers the condition.
inline bool waitFor(const std::function<bool()>& condition, int milliseconds = 20000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > milliseconds) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(2);
    }
    return true;
}

// The value of a script run in the page, once the page has answered.
inline QVariant evaluate(QWebEngineView* view, const QString& script) {
    QVariant answer;
    bool answered = false;
    view->page()->runJavaScript(script, [&](const QVariant& result) { answer = result; answered = true; });
    waitFor([&] { return answered; }, 5000);
    return answer;
}

// Lets the event loop run for a while (timers, late reports, page drawing).
inline void pause(int milliseconds) { waitFor([] { return false; }, milliseconds); }

// With LEAFMILL_SHOTS set to a folder, saves a picture of the widget there once it is drawn.
inline void saveShot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("LEAFMILL_SHOTS");
    if (folder.isEmpty()) return;
    pause(500);
    QDir().mkpath(folder);
    widget->grab().save(folder + QLatin1Char('/') + name);
}

// A settings store as a first start leaves it, and no book kept from an earlier run.
inline AppSettings& freshSettings() {
    QDir(KeptBook::defaultFolder()).removeRecursively();
    QDir().mkpath(FlashPage::flashPageTempFolder());   // an earlier shut-down in this process removed it
    QSettings(QStringLiteral("Quirevale"), QStringLiteral("LeafMill")).clear();
    AppSettings::resetForTesting();
    return AppSettings::shareInstance();
}

inline QString settingOf(const LeafMillAppDelegate& app, const QString& key) {
    return app.flashTmpl()->propertyValueFor(key, QString());
}

// The controller after a first start, without the preview view; it quits at the end.
class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        freshSettings();
        app = std::make_unique<LeafMillAppDelegate>(false);
        app->applicationDidFinishLaunching();
    }
    void TearDown() override {
        if (app) app->applicationWillTerminate();
    }
    QString value(const QString& key) const { return settingOf(*app, key); }
    std::unique_ptr<LeafMillAppDelegate> app;
};

// Answers every open and save panel with the paths given (none: cancelled) and keeps the titles.
class PanelAnswers {
public:
    explicit PanelAnswers(QStringList paths) {
        FileChooser::setResponder([this, paths](QFileDialog& panel) {
            titles << panel.windowTitle();
            return paths;
        });
    }
    ~PanelAnswers() { FileChooser::setResponder({}); }
    QStringList titles;
};

// A controller with the preview view, started; counts the preview's loads.
struct PreviewApp {
    PreviewApp() {
        QObject::connect(&app, &LeafMillAppDelegate::previewLoaded, [this](bool ok) { ++loads; lastLoadOk = ok; });
        app.applicationDidFinishLaunching();
    }
    ~PreviewApp() { app.applicationWillTerminate(); }
    bool reloaded(int loadsBefore) { return waitFor([&] { return loads > loadsBefore; }, 30000); }
    const bool fresh = (freshSettings(), true);   // before the controller reads them
    LeafMillAppDelegate app{true};
    int loads = 0;
    bool lastLoadOk = false;
};

// Publishes the book through the publish sheet into the folder, declining to open it; answers
// how many alerts were asked.
inline size_t publishThroughSheet(LeafMillAppDelegate& app, const QString& folder, const QString& name = {}) {
    app.onConvertToFlipBook();
    OutputWindowDelegate* sheet = app.outputWindowDelegate();
    sheet->txtOutputFolder()->setText(folder);
    if (!name.isEmpty()) sheet->txtOutputName()->setText(name);
    saveShot(sheet, QStringLiteral("publish-sheet.png"));
    AlertAnswers answers([](const AppAlert::Request&) { return 1; });   // "No": do not open
    sheet->onPublish();
    return answers.asked.size();
}

// Pages from the first of the demonstration pictures, standing in for an imported document.
inline std::shared_ptr<FlashPageSourceImg> demoPages(int count) {
    auto pages = std::make_shared<FlashPageSourceImg>();
    const QDir demo(Resources::path(QStringLiteral("DemoImgs")));
    for (const QString& name : demo.entryList({QStringLiteral("*.jpg")}, QDir::Files, QDir::Name).mid(0, count))
        pages->addImgPageFromFile(demo.filePath(name));
    return pages;
}

// Whether the controller's next refresh check rebuilds the preview (it writes the preview's book anew).
inline bool refreshRebuildsPreview(LeafMillAppDelegate& app) {
    const QString book = QStringLiteral("/files/book.bin");
    if (!app.flashPreviewFolder().isEmpty()) QFile::remove(app.flashPreviewFolder() + book);
    app.onTimerCheckRefresh();
    return QFileInfo::exists(app.flashPreviewFolder() + book);
}

// Plays a hostile page: reaches the object offered as "connector" over the web channel and tries
// QObject's members by name, by raw channel messages (method indices from firstRawIndex on, and
// names) and by setting a property. Answers {members: the methods the page found (without their
// "name(types)" twins), answered: the names tried that were not undefined}.
inline QVariantMap probeConnector(QWebEngineView* view, int firstRawIndex) {
    const QString script = QStringLiteral(R"JS((function () {
  window.connectorProbe = undefined;
  const tried = ['deleteLater', 'objectName', 'destroyed', 'objectNameChanged', '_q_reregisterTimers',
                 'setObjectName', 'parent', 'setProperty', 'property', 'blockSignals', 'onTest', 'done',
                 'close', 'exitWithoutSave', 'saveFlipPageEditorXML', 'applyChange'];
  const helpers = ['unwrapQObject', 'unwrapProperties', 'propertyUpdate', 'signalEmitted'];
  function probe() {
    new QWebChannel(qt.webChannelTransport, function (channel) {
      const c = channel.objects.connector;
      const answered = tried.filter(name => typeof c[name] !== 'undefined');
      const members = Object.keys(c).filter(k => !k.startsWith('__') && !k.includes('(') && !helpers.includes(k)).sort();
      try { c.deleteLater(); } catch (e) {}
      for (let i = %1; i < 24; ++i) channel.exec({type: 6, object: 'connector', method: i, args: []});
      for (const name of ['deleteLater', 'setObjectName', 'destroyed'])
        channel.exec({type: 6, object: 'connector', method: name, args: ['x']});
      channel.exec({type: 9, object: 'connector', property: 0, value: 'x'});
      window.connectorProbe = {members, answered};
    });
  }
  if (typeof QWebChannel === 'function') probe();
  else document.head.appendChild(Object.assign(document.createElement('script'), {src: 'qrc:///qtwebchannel/qwebchannel.js', onload: probe}));
})();)JS").arg(firstRawIndex);
    view->page()->runJavaScript(script);
    QVariantMap answer;
    if (!waitFor([&] { return !(answer = evaluate(view, QStringLiteral("window.connectorProbe")).toMap()).isEmpty(); }, 15000))
        return {{QStringLiteral("answered"), QStringList{QStringLiteral("(no answer from the page)")}}};
    pause(300);   // what the messages set going (a deleteLater) has run
    return answer;
}

} // namespace AppTestSupport
