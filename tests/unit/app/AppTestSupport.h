#pragma once
// The app tests' environment: private user folders and trust files, one QApplication (with the
// web engine's shared contexts), and helpers to answer alerts and wait for the event loop.
#include "app/AppAlert.h"
#include "app/LeafMillAppDelegate.h"
#include "app/MainWindow.h"
#include "app/project/KeptBook.h"
#include "app/settings-editor/FlashTemplateOutlineDelegate.h"
#include "TestSupport.h"
#include "output/FlashPlayerTrust.h"
#include "pages/FlashPage.h"
#include "pages/FlashPageSource.h"
#include "templates/FlashTemplate.h"
#include "util/AppSettings.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QSettings>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>
#include <QUndoStack>
#include <QVariantMap>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <QWidget>
#include <gtest/gtest.h>
#include <functional>
#include <memory>

namespace AppTestSupport {

inline QString& homeFolder() {
    static QString home;
    return home;
}

class Environment : public ::testing::Environment {
public:
    void SetUp() override {
        homeFolder() = TestSupport::isolateUserFolders();
        qputenv("QT_QPA_PLATFORM", "offscreen");
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
        const QByteArray runtime = QFile::encodeName(homeFolder() + QStringLiteral("/runtime"));
        QDir().mkpath(QString::fromLocal8Bit(runtime));
        QFile::setPermissions(QString::fromLocal8Bit(runtime), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("XDG_RUNTIME_DIR", runtime);
        FlashPlayerTrust::setTrustFolders(homeFolder() + QStringLiteral("/trust-machine"),
                                          homeFolder() + QStringLiteral("/trust-user"));
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

// With LEAFMILL_SHOTS set to a folder, saves a picture of the widget there.
inline void saveShot(QWidget* widget, const QString& name) {
    const QString folder = qEnvironmentVariable("LEAFMILL_SHOTS");
    if (folder.isEmpty()) return;
    QDir().mkpath(folder);
    widget->grab().save(folder + QLatin1Char('/') + name);
}

// Lets the event loop run for a while (timers, late reports, page drawing).
inline void pause(int milliseconds) { waitFor([] { return false; }, milliseconds); }

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
// "name(types)" twins), types: what typeof gave for each name tried}.
inline QVariantMap probeConnector(QWebEnginePage* page, int firstRawIndex) {
    const QString script = QStringLiteral(R"JS((function () {
  window.connectorProbe = undefined;
  const tried = ['deleteLater', 'objectName', 'destroyed', 'objectNameChanged', '_q_reregisterTimers',
                 'setObjectName', 'parent', 'setProperty', 'property', 'blockSignals', 'onTest', 'done',
                 'close', 'exitWithoutSave', 'saveFlipPageEditorXML', 'applyChange'];
  const helpers = ['unwrapQObject', 'unwrapProperties', 'propertyUpdate', 'signalEmitted'];
  function probe() {
    new QWebChannel(qt.webChannelTransport, function (channel) {
      const c = channel.objects.connector;
      const types = {};
      for (const name of tried) types[name] = typeof c[name];
      const members = Object.keys(c).filter(k => !k.startsWith('__') && !k.includes('(') && !helpers.includes(k)).sort();
      try { c.deleteLater(); } catch (e) {}
      for (let i = %1; i < 24; ++i) channel.exec({type: 6, object: 'connector', method: i, args: []});
      for (const name of ['deleteLater', 'setObjectName', 'destroyed'])
        channel.exec({type: 6, object: 'connector', method: name, args: ['x']});
      channel.exec({type: 9, object: 'connector', property: 0, value: 'x'});
      window.connectorProbe = {members: members, types: types};
    });
  }
  if (typeof QWebChannel === 'function') probe();
  else {
    const s = document.createElement('script');
    s.src = 'qrc:///qtwebchannel/qwebchannel.js';
    s.onload = probe;
    document.head.appendChild(s);
  }
})();)JS").arg(firstRawIndex);
    page->runJavaScript(script);
    QVariantMap answer;
    waitFor([&] {
        bool asked = false;
        page->runJavaScript(QStringLiteral("window.connectorProbe"), [&](const QVariant& v) {
            answer = v.toMap();
            asked = true;
        });
        waitFor([&] { return asked; }, 2000);
        return !answer.isEmpty();
    }, 15000);
    waitFor([] { return false; }, 300);   // what the messages set going (a deleteLater) has run
    return answer;
}

// True when every name tried by probeConnector found nothing.
inline bool nothingAnswered(const QVariantMap& probe) {
    const QVariantMap types = probe.value(QStringLiteral("types")).toMap();
    return !types.isEmpty() && std::all_of(types.cbegin(), types.cend(), [](const QVariant& t) { return t.toString() == QLatin1String("undefined"); });
}

} // namespace AppTestSupport
